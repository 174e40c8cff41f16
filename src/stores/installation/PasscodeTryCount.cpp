#include "stores/installation/PasscodeTryCount.h"

#include <string_view>
#include <system_error>
#include <vector>

#include "base/DateTexts.h"
#include "platform/Calendar.h"
#include "platform/FileBytes.h"
#include "platform/Numbers.h"
#include "platform/SystemErrorText.h"
#include "platform/TextFileWriter.h"

namespace gaisan {
namespace {

// Two short lines; the bound only keeps a hostile file from filling the memory.
constexpr std::size_t kFileLimit = 4096;
constexpr std::int64_t kSecondsPerDay = 86'400;
constexpr int kMostWrong = 3;

std::string timeText(std::int64_t seconds) {
    return isoDateTimeText(dateOfSerial(static_cast<int>(seconds / kSecondsPerDay)),
                           static_cast<int>(seconds % kSecondsPerDay));
}

// The number of exactly `digits` digits at `at` in `text`, within `lowest`..`highest`.
std::optional<int> fieldOf(std::string_view text, std::size_t at, std::size_t digits, int lowest,
                           int highest) {
    const std::optional<int> value = digitsAt(text, at, digits);
    if (!value || *value < lowest || *value > highest) return std::nullopt;
    return value;
}

// "2026-12-10 10:00:05" as local seconds, or nothing for any other text.
std::optional<std::int64_t> secondsOfTimeText(std::string_view text) {
    if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != ' ' ||
        text[13] != ':' || text[16] != ':')
        return std::nullopt;
    const auto year = fieldOf(text, 0, 4, 1900, 9999);
    const auto month = fieldOf(text, 5, 2, 1, 12);
    const auto day = fieldOf(text, 8, 2, 1, 31);
    const auto hour = fieldOf(text, 11, 2, 0, 23);
    const auto minute = fieldOf(text, 14, 2, 0, 59);
    const auto second = fieldOf(text, 17, 2, 0, 59);
    if (!year || !month || !day || !hour || !minute || !second) return std::nullopt;
    const CivilDate date{*year, *month, *day};
    const int serial = daySerial(date);
    if (dateOfSerial(serial) != date) return std::nullopt;  // 31 February
    return serial * kSecondsPerDay + *hour * 3600 + *minute * 60 + *second;
}

std::vector<std::string_view> linesOf(std::string_view bytes) {
    std::vector<std::string_view> lines;
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        if (line.ends_with('\r')) line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos) break;
        bytes.remove_prefix(end + 1);
    }
    return lines;
}

std::optional<PasscodeTryCount> countOf(std::string_view bytes) {
    const std::vector<std::string_view> lines = linesOf(bytes);
    if (lines.empty() || lines.size() > 2 || lines[0].size() != 1) return std::nullopt;
    const auto wrong = fieldOf(lines[0], 0, 1, 0, kMostWrong);
    if (!wrong) return std::nullopt;
    if (*wrong < kMostWrong) {
        if (lines.size() != 1) return std::nullopt;
        return PasscodeTryCount{*wrong, std::nullopt};
    }
    if (lines.size() != 2) return std::nullopt;
    const auto began = secondsOfTimeText(lines[1]);
    if (!began) return std::nullopt;
    return PasscodeTryCount{*wrong, began};
}

}  // namespace

Expected<PasscodeTryCount> readPasscodeTryCount(const std::filesystem::path& file) {
    const Expected<std::string> bytes = readFileBytes(file, kFileLimit);
    if (!bytes) {
        if (missingFromItsFolder(file)) return PasscodeTryCount{};
        return Unexpected(bytes.error());
    }
    if (const auto count = countOf(*bytes)) return *count;
    return Unexpected(Failure{file, "回数と時刻の形になっていません。"});
}

Expected<void> writePasscodeTryCount(const std::filesystem::path& file,
                                     const PasscodeTryCount& count) {
    std::string text = std::to_string(count.wrong) + "\r\n";
    if (count.waitBegan) text += timeText(*count.waitBegan) + "\r\n";
    return writeCp932FileAtomically(file, text);
}

Expected<void> clearPasscodeTryCount(const std::filesystem::path& file) {
    std::error_code error;
    std::filesystem::remove(file, error);
    if (error) {
        return Unexpected(Failure{file, "消せません（" + systemErrorText(error.value()) + "）。"});
    }
    return {};
}

}  // namespace gaisan
