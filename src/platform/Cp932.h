#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

namespace gaisan {

/// Text that cannot be converted between CP932 and UTF-8. `offset` is the byte offset of the
/// offending sequence in the input.
class Cp932Error : public std::runtime_error {
public:
    Cp932Error(std::size_t offset, const std::string& message)
        : std::runtime_error(message), m_offset(offset) {}
    std::size_t offset() const { return m_offset; }

private:
    std::size_t m_offset;
};

/// CP932 (Windows Japanese) bytes to UTF-8. The suite's files are written by Windows programs, so
/// the converter is glibc's "CP932": plain Shift_JIS would reject ①, Ⅰ and 髙 and turn "\" into ¥.
std::string decodeCp932(std::string_view bytes);

/// UTF-8 to CP932 bytes. Throws for a character CP932 cannot hold.
std::string encodeCp932(std::string_view utf8);

}  // namespace gaisan
