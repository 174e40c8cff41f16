#include "admin/CriteriaTable.h"

#include <cmath>
#include <limits>
#include <sstream>

#include "platform/DataFileError.h"
#include "platform/ItemReader.h"
#include "platform/Numbers.h"
#include "platform/TextFileWriter.h"

namespace gaisan {
namespace {

std::string lineName(int lineIndex) {
    std::ostringstream name;
    name << lineIndex + 1 << "行目（" << (lineIndex == 0 ? std::string("見出しの行")
                                                          : "レベル" + std::to_string(lineIndex))
         << "）";
    return name.str();
}

/// The field's value in a whole-number column of type Whole.
template <typename Whole>
Whole wholeNumber(const std::filesystem::path& file, int lineIndex, int column,
                  const std::string& text) {
    const double value = std::round(leadingNumber(text));
    if (value < std::numeric_limits<Whole>::min() || value > std::numeric_limits<Whole>::max()) {
        throw DataFileError(file, lineName(lineIndex) + "の「" + criteriaTitleLine()[column] +
                                      "」の値 " + text + " は大きすぎます。");
    }
    return static_cast<Whole>(value);
}

}  // namespace

const CriteriaLine& criteriaTitleLine() {
    static const CriteriaLine titles = {"目標Time", "最低Time", "ｸﾘｱﾎﾟｲﾝﾄ", "ｸﾘｱ回数",
                                        "ﾎﾟｲﾝﾄ倍率", "禁回",     "禁点",     "判期間",
                                        "禁期間",   "",         "",         ""};
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

void writeCriteriaFile(const std::filesystem::path& file, const std::vector<CriteriaLine>& lines) {
    if (lines.size() > static_cast<std::size_t>(kMaxCriteriaLines)) {
        throw DataFileError(file, "行が多すぎます（見出しの行とレベル1〜35の" +
                                      std::to_string(kMaxCriteriaLines) + "行までです）。");
    }
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
    writeCp932FileAtomically(file, text);
}

void LoadCriteriaTable(const std::filesystem::path& file, CriteriaTable& table) {
    const std::vector<CriteriaLine> lines = readCriteriaFile(file);
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
