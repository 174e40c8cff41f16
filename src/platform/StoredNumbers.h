#pragma once

#include <bit>
#include <cstddef>
#include <cstring>
#include <span>

namespace gaisan {

// The program's binary files (results, delete journal, answers) are little-endian, and their
// numbers are copied to and from memory as they are.
static_assert(std::endian::native == std::endian::little,
              "the stored files are little-endian and are copied to and from memory as they are");

/// Writes `value` into `bytes` at `offset`, as the stored files hold it.
template <typename T>
void putStored(std::span<std::byte> bytes, std::size_t offset, T value) {
    std::memcpy(bytes.data() + offset, &value, sizeof value);
}

/// The value of type T stored in `bytes` at `offset`.
template <typename T>
T storedAt(std::span<const std::byte> bytes, std::size_t offset) {
    T value;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

}  // namespace gaisan
