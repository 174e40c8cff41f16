#include "base/CriteriaTable.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <span>
#include <sstream>

#include "platform/AtomicFileWriter.h"
#include "platform/ItemReader.h"
#include "platform/Numbers.h"
#include "platform/TextFileWriter.h"

namespace gaisan {
namespace {

std::string lineName(int lineIndex) {
    std::ostringstream name;
    name << lineIndex + 1 << "行目（"
         << (lineIndex == 0 ? std::string("見出しの行") : "レベル" + std::to_string(lineIndex))
         << "）";
    return name.str();
}

/// "3行目（レベル2）の2列目「最低Time」", naming a field for a message.
std::string fieldName(int lineIndex, int column) {
    const std::string& title = criteriaTitleLine()[column];
    return lineName(lineIndex) + "の" + std::to_string(column + 1) + "列目" +
           (title.empty() ? std::string() : "「" + title + "」");
}

Unexpected<Failure> badField(const std::filesystem::path& file, int lineIndex, int column,
                             const std::string& text, const std::string& rule) {
    return Unexpected(Failure{
        file, fieldName(lineIndex, column) + "の値 " + text + " は使えません（" + rule + "）。"});
}

Unexpected<Failure> tooManyLines(const std::filesystem::path& file) {
    return Unexpected(Failure{file, "行が多すぎます（見出しの行とレベル1〜35の" +
                                        std::to_string(kMaxCriteriaLines) + "行までです）。"});
}

constexpr int kTargetTimeColumn = 0;
constexpr int kMinLineTimeColumn = 1;
constexpr int kClearPointsColumn = 2;
constexpr int kClearCountColumn = 3;
constexpr int kPointRateColumn = 4;

/// The value of a field of a whole-number column: its leading number, a fraction rounded.
template <typename Whole>
Whole wholeNumber(const std::string& text) {
    return static_cast<Whole>(std::round(leadingNumber(text)));
}

template <typename Whole>
bool fitsIn(double value) {
    return value >= std::numeric_limits<Whole>::min() && value <= std::numeric_limits<Whole>::max();
}

/// Refuses a field of a whole-number column (the first four) whose value its column cannot hold,
/// so that wholeNumber may convert the line afterwards.
Expected<void> checkWholeNumbers(const std::filesystem::path& file, int lineIndex,
                                 const CriteriaLine& line) {
    for (const int column :
         {kTargetTimeColumn, kMinLineTimeColumn, kClearPointsColumn, kClearCountColumn}) {
        const double value = std::round(leadingNumber(line[column]));
        const bool fits =
            column == kClearCountColumn ? fitsIn<std::int16_t>(value) : fitsIn<std::int32_t>(value);
        if (!fits) {
            return Unexpected(Failure{
                file, fieldName(lineIndex, column) + "の値 " + line[column] + " は大きすぎます。"});
        }
    }
    return {};
}
/// A run's time limit is 5 × the minimum line, and it must stay below the marks 99998 (failed)
/// and 99999 (time-up) that no real time may take.
constexpr int kTimeLimitFactor = 5;
constexpr std::int32_t kLongestMinLineTime = 99997 / kTimeLimitFactor;
constexpr double kHighestPointRate = 1000;

/// The levels of 1..requiredLevels that a file of `lineCount` lines has no line for, as "3〜24"
/// or "24"; line n holds level n.
std::string missingLevels(std::size_t lineCount, int requiredLevels) {
    const int first = std::max(1, static_cast<int>(lineCount));
    if (first == requiredLevels) return std::to_string(first);
    return std::to_string(first) + "〜" + std::to_string(requiredLevels);
}

}  // namespace

Expected<void> checkCriteriaLines(const std::filesystem::path& file,
                                  const std::vector<CriteriaLine>& lines, int requiredLevels) {
    if (lines.size() > static_cast<std::size_t>(kMaxCriteriaLines)) return tooManyLines(file);
    if (lines.size() <= static_cast<std::size_t>(requiredLevels)) {
        return Unexpected(Failure{file, "レベル" + missingLevels(lines.size(), requiredLevels) +
                                            "の行がありません（見出しの行の後に、レベル1〜" +
                                            std::to_string(requiredLevels) + "の" +
                                            std::to_string(requiredLevels) + "行が必要です）。"});
    }
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const int level = static_cast<int>(i);
        const CriteriaLine& line = lines[i];
        if (auto fit = checkWholeNumbers(file, level, line); !fit) return fit;
        const auto target = wholeNumber<std::int32_t>(line[kTargetTimeColumn]);
        const auto minLine = wholeNumber<std::int32_t>(line[kMinLineTimeColumn]);
        if (target < 0) {
            return badField(file, level, kTargetTimeColumn, line[kTargetTimeColumn],
                            "時間は0秒以上です");
        }
        if (minLine < 0) {
            return badField(file, level, kMinLineTimeColumn, line[kMinLineTimeColumn],
                            "時間は0秒以上です");
        }
        if (minLine > kLongestMinLineTime) {
            return badField(file, level, kMinLineTimeColumn, line[kMinLineTimeColumn],
                            "この5倍が時間切れまでの秒数になるため、" +
                                std::to_string(kLongestMinLineTime) + "秒までです");
        }
        if (minLine == 0 && level <= requiredLevels) {
            return badField(file, level, kMinLineTimeColumn, line[kMinLineTimeColumn],
                            "この5倍が時間切れまでの秒数になるため、1秒以上です");
        }
        const double rate = leadingNumber(line[kPointRateColumn]);
        if (!(rate >= 0 && rate <= kHighestPointRate)) {
            return badField(file, level, kPointRateColumn, line[kPointRateColumn],
                            "ポイント倍率は0から1000までです");
        }
    }
    return {};
}

/// The half-width katakana and "Time" are deliberate: the file's title line has always read so.
const CriteriaLine& criteriaTitleLine() {
    static const CriteriaLine titles = {"目標Time",  "最低Time", "ｸﾘｱﾎﾟｲﾝﾄ", "ｸﾘｱ回数",
                                        "ﾎﾟｲﾝﾄ倍率", "禁回",     "禁点",     "判期間",
                                        "禁期間",    "",         "",         ""};
    return titles;
}

Expected<std::vector<CriteriaLine>> readCriteriaFile(const std::filesystem::path& file) {
    Expected<ItemReader> reader = ItemReader::openFile(file);
    if (!reader) return Unexpected(reader.error());
    std::vector<CriteriaLine> lines;
    while (!reader->atEnd()) {
        const int lineIndex = static_cast<int>(lines.size());
        if (lineIndex == kMaxCriteriaLines) return tooManyLines(file);
        CriteriaLine line;
        for (int field = 0; field < kCriteriaFields; ++field) {
            const auto tooFewFields = [&](int fields) {
                return Unexpected(Failure{file, lineName(lineIndex) + "の項目が" +
                                                    std::to_string(fields) +
                                                    "個しかありません（12個必要です）。"});
            };
            if (reader->atEnd()) return tooFewFields(field);
            Expected<Item> item = reader->next();
            if (!item) return Unexpected(item.error());
            const bool lastField = field == kCriteriaFields - 1;
            if (item->endsLine && !lastField) return tooFewFields(field + 1);
            if (!item->endsLine && lastField) {
                return Unexpected(Failure{
                    file,
                    lineName(lineIndex) + "の項目が12個より多くあります（12個の決まりです）。"});
            }
            line[field] = std::move(item->text);
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

Expected<std::string> criteriaFileBytes(const std::filesystem::path& file,
                                        const std::vector<CriteriaLine>& lines,
                                        int requiredLevels) {
    if (auto checked = checkCriteriaLines(file, lines, requiredLevels); !checked) {
        return Unexpected(checked.error());
    }
    std::string text;
    for (std::size_t lineIndex = 0; lineIndex < lines.size(); ++lineIndex) {
        for (int field = 0; field < kCriteriaFields; ++field) {
            const std::string& cell = lines[lineIndex][field];
            if (cell.find_first_of(",\"\r\n") != std::string::npos) {
                return Unexpected(Failure{
                    file, lineName(static_cast<int>(lineIndex)) + "の" + std::to_string(field + 1) +
                              "番目の項目「" + cell + "」には「,」「\"」や改行を書けません。"});
            }
            text += cell;
            text += field + 1 < kCriteriaFields ? "," : "\r\n";
        }
    }
    return cp932BytesFor(file, text);
}

Expected<void> writeCriteriaFile(const std::filesystem::path& file,
                                 const std::vector<CriteriaLine>& lines, int requiredLevels) {
    const Expected<std::string> bytes = criteriaFileBytes(file, lines, requiredLevels);
    if (!bytes) return Unexpected(bytes.error());
    AtomicFileWriter writer(file);
    writer.write(std::as_bytes(std::span(*bytes)));
    return writer.commit();
}

Expected<void> LoadCriteriaTable(const std::filesystem::path& file, CriteriaTable& table,
                                 int requiredLevels) {
    const Expected<std::vector<CriteriaLine>> lines = readCriteriaFile(file);
    if (!lines) return Unexpected(lines.error());
    if (auto checked = checkCriteriaLines(file, *lines, requiredLevels); !checked) return checked;
    // Convert into a copy first, so that a bad number leaves the table in force untouched.
    CriteriaTable loaded = table;
    for (std::size_t i = 0; i < lines->size(); ++i) {
        const int level = static_cast<int>(i);
        const CriteriaLine& line = (*lines)[i];
        // The title line is never checked as criteria, but its numbers are converted all the same.
        if (auto fit = checkWholeNumbers(file, level, line); !fit) return fit;
        loaded.TargetTime.at(level) = wholeNumber<std::int32_t>(line[0]);
        loaded.MinLineTime.at(level) = wholeNumber<std::int32_t>(line[1]);
        loaded.ClearPoints.at(level) = wholeNumber<std::int32_t>(line[2]);
        loaded.ClearCount.at(level) = wholeNumber<std::int16_t>(line[3]);
        loaded.PointRate.at(level) = static_cast<float>(leadingNumber(line[4]));
        loaded.OveruseCount.at(level) = leadingNumber(line[5]);
        loaded.OverusePoints.at(level) = leadingNumber(line[6]);
        loaded.PassDays.at(level) = leadingNumber(line[7]);
        loaded.OveruseDays.at(level) = leadingNumber(line[8]);
        loaded.CriteriaExtra1.at(level) = line[9];
        loaded.CriteriaExtra2.at(level) = line[10];
        loaded.CriteriaExtra3.at(level) = line[11];
    }
    table = std::move(loaded);
    return {};
}

}  // namespace gaisan
