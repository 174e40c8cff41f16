#pragma once

#include <cstddef>
#include <string_view>

namespace gaisan {

/// The suite counts text in characters, not bytes ("the first five characters of the school
/// name", "names cut to 20 characters"); these count and cut UTF-8 text by code point.
std::size_t characterCount(std::string_view text);

/// The first `count` characters of `text` (all of it when shorter).
std::string_view leftCharacters(std::string_view text, std::size_t count);

/// `text` without its first `count` characters.
std::string_view charactersAfter(std::string_view text, std::size_t count);

/// The last `count` characters of `text` (all of it when shorter): how the fixed-layout rows
/// right-align a number, by padding it on the left and keeping its last characters.
std::string_view lastCharacters(std::string_view text, std::size_t count);

/// `text` without the half-width spaces around it (full-width spaces are part of names).
std::string_view trimSpaces(std::string_view text);

}  // namespace gaisan
