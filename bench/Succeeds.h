#pragma once

#include <cstdio>
#include <cstdlib>
#include <optional>

namespace gaisan {

/// Stops the benchmark run when a step it measures failed: a figure measured on a failing read
/// or append would look fast and mean nothing.
template <typename Failure>
void succeeds(const std::optional<Failure>& failure, const char* step) {
    if (!failure) return;
    std::fprintf(stderr, "benchmark step failed: %s\n", step);
    std::exit(1);
}

}  // namespace gaisan
