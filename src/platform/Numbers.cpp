#include "platform/Numbers.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cstdlib>
#include <string>

namespace gaisan {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

/// Length of the decimal number at the start of `text` (sign, digits, one point, digits), or 0.
std::size_t numberLength(std::string_view text) {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < text.size() && isDigit(text[i])) ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i])) ++i, ++digits;
    }
    return digits == 0 ? 0 : i;
}

std::string_view trimSpaces(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

double toDouble(std::string_view number) {
    return std::strtod(std::string(number).c_str(), nullptr);
}

template <typename Real>
std::string shortest(Real value) {
    std::array<char, 64> text{};
    const auto result = std::to_chars(text.data(), text.data() + text.size(), value);
    return std::string(text.data(), result.ptr);
}

}  // namespace

std::string shortestText(float value) { return shortest(value); }

std::string shortestText(double value) { return shortest(value); }

double leadingNumber(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    const std::size_t length = numberLength(text);
    return length == 0 ? 0.0 : toDouble(text.substr(0, length));
}

std::optional<double> parseNumber(std::string_view text) {
    text = trimSpaces(text);
    const std::size_t length = numberLength(text);
    if (length == 0 || length != text.size()) return std::nullopt;
    return toDouble(text);
}

std::optional<int> digitsAt(std::string_view text, std::size_t at, std::size_t count) {
    if (count == 0 || at > text.size() || count > text.size() - at) return std::nullopt;
    const std::string_view digits = text.substr(at, count);
    for (const char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
    }
    int value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    return value;
}

}  // namespace gaisan
