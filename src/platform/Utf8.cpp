#include "platform/Utf8.h"

namespace gaisan {
namespace {

bool isContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

/// Byte offset at which character number `count` (0-based) starts, or the text's size.
std::size_t offsetOfCharacter(std::string_view text, std::size_t count) {
    std::size_t offset = 0;
    for (std::size_t seen = 0; offset < text.size(); ++offset) {
        if (!isContinuationByte(text[offset])) {
            if (seen == count) return offset;
            ++seen;
        }
    }
    return text.size();
}

}  // namespace

std::size_t characterCount(std::string_view text) {
    std::size_t count = 0;
    for (const char c : text) {
        if (!isContinuationByte(c)) ++count;
    }
    return count;
}

std::string_view leftCharacters(std::string_view text, std::size_t count) {
    return text.substr(0, offsetOfCharacter(text, count));
}

std::string_view charactersAfter(std::string_view text, std::size_t count) {
    return text.substr(offsetOfCharacter(text, count));
}

std::string_view lastCharacters(std::string_view text, std::size_t count) {
    const std::size_t length = characterCount(text);
    return length <= count ? text : charactersAfter(text, length - count);
}

std::string_view trimSpaces(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace gaisan
