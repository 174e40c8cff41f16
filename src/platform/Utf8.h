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

}  // namespace gaisan
