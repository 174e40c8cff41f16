#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace gaisan {

/// The value of the decimal number a text begins with, after leading spaces; 0 when it begins
/// with none. "0200" is 200, "200.0" is 200, "2,000" is 2, "12345ABC" is 12345, "ABC" is 0.
/// The suite reads typed answers, code prefixes and numeric text fields this way.
double leadingNumber(std::string_view text);

/// The shortest decimal text that reads back as `value`: 1, 1.5, 0.1.
std::string shortestText(float value);
std::string shortestText(double value);

/// The value of a text that is a decimal number as a whole (optional sign, digits, optional
/// fraction, surrounding half-width spaces allowed); nothing for any other text, the empty text
/// included.
std::optional<double> parseNumber(std::string_view text);

/// The number written with exactly `count` decimal digits from byte `at` of `text`, as the
/// program's own file names and time stamps write their fields ("2026-12-10 09:00:05"); nothing
/// when any of them is no digit (a sign or a space included), `text` ends before them, or the
/// number is too large for an int.
std::optional<int> digitsAt(std::string_view text, std::size_t at, std::size_t count);

}  // namespace gaisan
