#pragma once

#include <cstdio>
#include <cstdlib>
#include <optional>

#include "platform/Expected.h"

namespace gaisan {

/// Stops the benchmark run when a step it measures failed: a figure measured on a failing read
/// or append would look fast and mean nothing.
template <typename T>
void succeeds(const Expected<T>& outcome, const char* step) {
    if (outcome) return;
    std::fprintf(stderr, "benchmark step failed: %s\n", step);
    std::exit(1);
}

/// The same for a problem a step that succeeded met along the way.
inline void succeeds(const std::optional<Failure>& problem, const char* step) {
    if (!problem) return;
    std::fprintf(stderr, "benchmark step failed: %s\n", step);
    std::exit(1);
}

}  // namespace gaisan
