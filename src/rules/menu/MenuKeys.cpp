#include "rules/menu/MenuKeys.h"

namespace gaisan {

MenuKey menuKeyOf(std::string_view text, int levelCount) {
    if (text.size() != 1) return {};
    const char c = text.front();
    int level = 0;
    if (c >= '1' && c <= '9') level = c - '0';
    if (c >= 'a' && c <= 'd') level = 10 + (c - 'a');
    if (level > 0) {
        if (level > levelCount) return {MenuKey::Action::Nothing};
        return {MenuKey::Action::StartLevel, level};
    }
    if (c == '0') return {MenuKey::Action::Back};
    return {};
}

std::string menuKeyText(int level) {
    if (level >= 1 && level <= 9) return std::string(1, static_cast<char>('0' + level));
    if (level >= 10 && level <= 13) return std::string(1, static_cast<char>('a' + level - 10));
    return {};
}

}  // namespace gaisan
