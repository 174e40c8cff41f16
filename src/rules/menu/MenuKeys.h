#pragma once

#include <string>
#include <string_view>

namespace gaisan {

/// What a key typed on the level menu does.
struct MenuKey {
    enum class Action {
        NotMine,     ///< not a key of the menu: the focused control may use it
        Nothing,     ///< a key of the menu that does nothing here: a level the profile lacks
        StartLevel,  ///< start `level`, if its button can be pressed
        Back,        ///< back to the name list, if "戻る(0)" can be pressed
    };
    Action action = Action::NotMine;
    int level = 0;

    friend bool operator==(const MenuKey&, const MenuKey&) = default;
};

/// The level menu's keys, given the key's text: "1" to "9" start levels 1 to 9 and "a" to "d"
/// levels 10 to 13, each only when the profile has `levelCount` levels or more (the key is
/// still the menu's when it has fewer, so that it never reaches a list or a box); "0" goes
/// back. Capitals, full-width digits and anything longer than one character are not the menu's.
MenuKey menuKeyOf(std::string_view text, int levelCount);

/// The key that starts `level` on the menu ("1"…"9", "a"…"d"); empty for a level no key starts.
std::string menuKeyText(int level);

}  // namespace gaisan
