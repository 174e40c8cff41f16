#include "rules/menu/MenuKeys.h"

#include <gtest/gtest.h>

#include <ostream>

namespace gaisan {

void PrintTo(const MenuKey& key, std::ostream* out) {
    *out << "action " << static_cast<int>(key.action) << ", level " << key.level;
}

namespace {

TEST(MenuKeyOf, DigitsAndTheFirstLettersStartLevelsTheProfileHasAndZeroGoesBack) {
    using Action = MenuKey::Action;
    const struct {
        const char* key;
        int levelCount;
        MenuKey expected;
    } cases[] = {
        {"1", 4, {Action::StartLevel, 1}},
        {"4", 4, {Action::StartLevel, 4}},
        {"5", 4, {Action::Nothing}},  // the menu's key all the same
        {"9", 13, {Action::StartLevel, 9}},
        {"a", 13, {Action::StartLevel, 10}},
        {"d", 13, {Action::StartLevel, 13}},
        {"d", 12, {Action::Nothing}},
        {"a", 4, {Action::Nothing}},
        {"0", 4, {Action::Back}},
        {"0", 0, {Action::Back}},
        {"e", 35, {}},
        {"A", 13, {}},
        {"１", 4, {}},  // a full-width digit
        {"10", 13, {}},
        {"", 4, {}},
        {" ", 4, {}},
        {"\n", 4, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(menuKeyOf(c.key, c.levelCount), c.expected)
            << '"' << c.key << "\" with " << c.levelCount << " levels";
    }
}

TEST(MenuKeyText, IsTheKeyThatStartsTheLevel) {
    for (int level = 1; level <= 13; ++level) {
        EXPECT_EQ(menuKeyOf(menuKeyText(level), 13), (MenuKey{MenuKey::Action::StartLevel, level}));
    }
    EXPECT_EQ(menuKeyText(14), "");
    EXPECT_EQ(menuKeyText(0), "");
}

}  // namespace
}  // namespace gaisan
