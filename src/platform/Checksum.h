#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace gaisan {

/// The 64-bit FNV-1a hash of `bytes`: the checksum of the small files a teacher's change writes
/// beside the results file (the delete journal, the change history), so that any tool can check
/// them.
inline std::uint64_t fnv1a64(std::span<const std::byte> bytes) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const std::byte b : bytes) {
        hash ^= static_cast<std::uint8_t>(b);
        hash *= 1099511628211ull;
    }
    return hash;
}

}  // namespace gaisan
