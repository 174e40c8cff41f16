#include "base/CriteriaTable.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <span>
#include <sstream>

#include "platform/AtomicFileWriter.h"
#include "platform/DataFileError.h"
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

DataFileError badField(const std::filesystem::path& file, int lineIndex, int column,
                       const std::string& text, const std::string& rule) {
    return DataFileError(
        file, fieldName(lineIndex, column) + "の値 " + text + " は使えません（" + rule + "）。");
}

/// The field's value in a whole-number column of type Whole.
template <typename Whole>
Whole wholeNumber(const std::filesystem::path& file, int lineIndex, int column,
                  const std::string& text) {
    const double value = std::round(leadingNumber(text));
    if (value < std::numeric_limits<Whole>::min() || value > std::numeric_limits<Whole>::max()) {
        throw DataFileError(file,
                            fieldName(lineIndex, column) + "の値 " + text + " は大きすぎます。");
    }
    return static_cast<Whole>(value);
}

constexpr int kTargetTimeColumn = 0;
constexpr int kMinLineTimeColumn = 1;
constexpr int kClearPointsColumn = 2;
constexpr int kClearCountColumn = 3;
constexpr int kPointRateColumn = 4;
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

void checkCriteriaLines(const std::filesystem::path& file, const std::vector<CriteriaLine>& lines,
                        int requiredLevels) {
    if (lines.size() > static_cast<std::size_t>(kMaxCriteriaLines)) {
        throw DataFileError(file, "行が多すぎます（見出しの行とレベル1〜35の" +
                                      std::to_string(kMaxCriteriaLines) + "行までです）。");
    }
    if (lines.size() <= static_cast<std::size_t>(requiredLevels)) {
        throw DataFileError(file, "レベル" + missingLevels(lines.size(), requiredLevels) +
                                      "の行がありません（見出しの行の後に、レベル1〜" +
                                      std::to_string(requiredLevels) + "の" +
                                      std::to_string(requiredLevels) + "行が必要です）。");
    }
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const int level = static_cast<int>(i);
        const CriteriaLine& line = lines[i];
        const std::int32_t target =
            wholeNumber<std::int32_t>(file, level, kTargetTimeColumn, line[kTargetTimeColumn]);
        const std::int32_t minLine =
            wholeNumber<std::int32_t>(file, level, kMinLineTimeColumn, line[kMinLineTimeColumn]);
        wholeNumber<std::int32_t>(file, level, kClearPointsColumn, line[kClearPointsColumn]);
        wholeNumber<std::int16_t>(file, level, kClearCountColumn, line[kClearCountColumn]);
        if (target < 0) {
            throw badField(file, level, kTargetTimeColumn, line[kTargetTimeColumn],
                           "時間は0秒以上です");
        }
        if (minLine < 0) {
            throw badField(file, level, kMinLineTimeColumn, line[kMinLineTimeColumn],
                           "時間は0秒以上です");
        }
        if (minLine > kLongestMinLineTime) {
            throw badField(file, level, kMinLineTimeColumn, line[kMinLineTimeColumn],
                           "この5倍が時間切れまでの秒数になるため、" +
                               std::to_string(kLongestMinLineTime) + "秒までです");
        }
        if (minLine == 0 && level <= requiredLevels) {
            throw badField(file, level, kMinLineTimeColumn, line[kMinLineTimeColumn],
                           "この5倍が時間切れまでの秒数になるため、1秒以上です");
        }
        const double rate = leadingNumber(line[kPointRateColumn]);
        if (!(rate >= 0 && rate <= kHighestPointRate)) {
            throw badField(file, level, kPointRateColumn, line[kPointRateColumn],
                           "ポイント倍率は0から1000までです");
        }
    }
}

/// The half-width katakana and "Time" are deliberate: the file's title line has always read so.
const CriteriaLine& criteriaTitleLine() {
    static const CriteriaLine titles = {"目標Time",  "最低Time", "ｸﾘｱﾎﾟｲﾝﾄ", "ｸﾘｱ回数",
                                        "ﾎﾟｲﾝﾄ倍率", "禁回",     "禁点",     "判期間",
                                        "禁期間",    "",         "",         ""};
    return titles;
}

std::vector<CriteriaLine> readCriteriaFile(const std::filesystem::path& file) {
    ItemReader reader = ItemReader::openFile(file);
    std::vector<CriteriaLine> lines;
    while (!reader.atEnd()) {
        const int lineIndex = static_cast<int>(lines.size());
        if (lineIndex == kMaxCriteriaLines) {
            throw DataFileError(file, "行が多すぎます（見出しの行とレベル1〜35の" +
                                          std::to_string(kMaxCriteriaLines) + "行までです）。");
        }
        CriteriaLine line;
        for (int field = 0; field < kCriteriaFields; ++field) {
            const auto tooFewFields = [&](int fields) {
                return DataFileError(file, lineName(lineIndex) + "の項目が" +
                                               std::to_string(fields) +
                                               "個しかありません（12個必要です）。");
            };
            if (reader.atEnd()) throw tooFewFields(field);
            Item item = reader.next();
            const bool lastField = field == kCriteriaFields - 1;
            if (item.endsLine && !lastField) throw tooFewFields(field + 1);
            if (!item.endsLine && lastField) {
                throw DataFileError(file, lineName(lineIndex) +
                                              "の項目が12個より多くあります（12個の決まりです）。");
            }
            line[field] = std::move(item.text);
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

std::string criteriaFileBytes(const std::filesystem::path& file,
                              const std::vector<CriteriaLine>& lines, int requiredLevels) {
    checkCriteriaLines(file, lines, requiredLevels);
    std::string text;
    for (std::size_t lineIndex = 0; lineIndex < lines.size(); ++lineIndex) {
        for (int field = 0; field < kCriteriaFields; ++field) {
            const std::string& cell = lines[lineIndex][field];
            if (cell.find_first_of(",\"\r\n") != std::string::npos) {
                throw DataFileError(file, lineName(static_cast<int>(lineIndex)) + "の" +
                                              std::to_string(field + 1) + "番目の項目「" + cell +
                                              "」には「,」「\"」や改行を書けません。");
            }
            text += cell;
            text += field + 1 < kCriteriaFields ? "," : "\r\n";
        }
    }
    return cp932BytesFor(file, text);
}

void writeCriteriaFile(const std::filesystem::path& file, const std::vector<CriteriaLine>& lines,
                       int requiredLevels) {
    const std::string bytes = criteriaFileBytes(file, lines, requiredLevels);
    AtomicFileWriter writer(file);
    writer.write(std::as_bytes(std::span(bytes)));
    writer.commit();
}

void LoadCriteriaTable(const std::filesystem::path& file, CriteriaTable& table,
                       int requiredLevels) {
    const std::vector<CriteriaLine> lines = readCriteriaFile(file);
    checkCriteriaLines(file, lines, requiredLevels);
    // Convert into a copy first, so that a bad number leaves the table in force untouched.
    CriteriaTable loaded = table;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int level = static_cast<int>(i);
        const CriteriaLine& line = lines[i];
        loaded.TargetTime.at(level) = wholeNumber<std::int32_t>(file, level, 0, line[0]);
        loaded.MinLineTime.at(level) = wholeNumber<std::int32_t>(file, level, 1, line[1]);
        loaded.ClearPoints.at(level) = wholeNumber<std::int32_t>(file, level, 2, line[2]);
        loaded.ClearCount.at(level) = wholeNumber<std::int16_t>(file, level, 3, line[3]);
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
}

}  // namespace gaisan
