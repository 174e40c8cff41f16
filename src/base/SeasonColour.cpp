#include "base/SeasonColour.h"

namespace gaisan {

Colour seasonColourOfMonth(int month) {
    constexpr Colour winter = colourOf(255, 128, 0);
    constexpr Colour spring = colourOf(192, 255, 192);
    constexpr Colour summer = colourOf(0, 192, 192);
    constexpr Colour autumn = colourOf(192, 64, 0);
    if (month <= 2) return winter;
    if (month <= 5) return spring;
    if (month <= 8) return summer;
    if (month <= 11) return autumn;
    return spring;
}

}  // namespace gaisan
