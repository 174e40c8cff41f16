#pragma once

#include <cstdint>

namespace gaisan {

/// A colour as the suite stores it: red in the lowest byte, then green, then blue.
using Colour = std::uint32_t;

constexpr Colour colourOf(int red, int green, int blue) {
    return static_cast<Colour>(red) | static_cast<Colour>(green) << 8 |
           static_cast<Colour>(blue) << 16;
}

/// The background colour of the name-selection screen and the level menu, by month 1..12:
/// orange in winter, light green in spring (and December), teal in summer, brown in autumn.
Colour seasonColourOfMonth(int month);

}  // namespace gaisan
