#include "stores/roster/Roster.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>

#include "platform/ItemReader.h"
#include "platform/Numbers.h"
#include "platform/Utf8.h"

namespace gaisan {
namespace {

constexpr int kItemsPerEntry = 8;

/// Cuts or pads (with half-width spaces) a text to the length every roster text is held as.
std::string fitRosterText(std::string_view text) {
    std::string fitted(leftCharacters(text, kRosterTextLength));
    fitted.append(kRosterTextLength - characterCount(fitted), ' ');
    return fitted;
}

/// Names the item at 1-based `position` of an entry for a message, e.g.
/// "3行目の1番目の項目（番号）".
std::string itemName(const Item& item, int position) {
    static const std::array<const char*, kItemsPerEntry + 1> titles = {
        "", "（番号）", "（年度）", "", "", "", "（表示区分）", "", ""};
    return std::to_string(item.line) + "行目の" + std::to_string(position) + "番目の項目" +
           titles[position];
}

/// The value of a number item. Anything that is not a whole number fitting 16 bits is refused
/// rather than narrowed, so that a typo cannot turn into some other student's index or year.
Expected<std::int16_t> number16(const std::filesystem::path& file, const Item& item, int position) {
    const std::optional<double> value = parseNumber(item.text);
    if (!value) {
        return Unexpected(
            Failure{file, itemName(item, position) + "が数ではありません: " + item.text});
    }
    if (*value != std::floor(*value)) {
        return Unexpected(
            Failure{file, itemName(item, position) + "が整数ではありません: " + item.text});
    }
    if (*value < std::numeric_limits<std::int16_t>::min() ||
        *value > std::numeric_limits<std::int16_t>::max()) {
        return Unexpected(Failure{file, itemName(item, position) + "の値 " + item.text +
                                            " は -32768〜32767 の範囲を超えています。"});
    }
    return static_cast<std::int16_t>(*value);
}

bool isBlankLine(const Item& item) {
    return item.startsLine && item.endsLine && !item.quoted && item.text.empty();
}

bool isListed(std::int16_t listFlag, double rosterOption) {
    return listFlag == 0 || (listFlag == 2 && rosterOption == 1);
}

/// Reads and checks every entry of the file before anything is stored, so that a bad file cannot
/// leave the roster in force half overwritten. Entries whose index the tables cannot hold are
/// left out, each with a sentence naming its line in `skipped`.
Expected<std::vector<RosterEntry>> readRosterEntries(const std::filesystem::path& file,
                                                     double rosterOption,
                                                     std::vector<std::string>& skipped) {
    Expected<ItemReader> reader = ItemReader::openFile(file);
    if (!reader) return Unexpected(reader.error());
    std::vector<RosterEntry> entries;
    int listedCount = 0;
    while (!reader->atEnd()) {
        Expected<Item> first = reader->next();
        if (!first) return Unexpected(first.error());
        if (isBlankLine(*first)) continue;

        std::array<Item, kItemsPerEntry + 1> items;  // by position 1..8
        items[1] = std::move(*first);
        for (int position = 2; position <= kItemsPerEntry; ++position) {
            if (reader->atEnd()) {
                return Unexpected(
                    Failure{file, std::to_string(items[1].line) + "行目から始まる生徒の項目が" +
                                      std::to_string(position - 1) +
                                      "個でファイルが終わっています（8個必要です）。"});
            }
            Expected<Item> item = reader->next();
            if (!item) return Unexpected(item.error());
            items[position] = std::move(*item);
        }
        std::array<std::int16_t, kItemsPerEntry + 1> numbers{};  // of the number items
        for (const int position : {1, 2, 3, 4, 6}) {
            const Expected<std::int16_t> number = number16(file, items[position], position);
            if (!number) return Unexpected(number.error());
            numbers[position] = *number;
        }

        RosterEntry entry;
        entry.StudentIndex = numbers[1];
        entry.RosterYear = numbers[2];
        entry.Unused3 = numbers[3];
        entry.Unused4 = numbers[4];
        entry.Name = fitRosterText(items[5].text);
        entry.ListFlag = numbers[6];
        entry.Unused7 = fitRosterText(items[7].text);
        entry.Unused8 = fitRosterText(items[8].text);

        // Every per-student table and every results record is keyed by the index, so an entry
        // whose index the tables cannot hold is left out; the rest of the school still logs in,
        // and the message tells the teacher which line to mend.
        if (entry.StudentIndex < 1 || entry.StudentIndex > kHighestStudent) {
            skipped.push_back(std::to_string(items[1].line) + "行目の番号 " +
                              std::to_string(entry.StudentIndex) + " は 1〜" +
                              std::to_string(kHighestStudent) +
                              " の範囲にないため、この生徒を読み飛ばしました。");
            continue;
        }
        if (isListed(entry.ListFlag, rosterOption)) {
            if (++listedCount > kHighestStudent) {
                return Unexpected(
                    Failure{file, std::to_string(items[1].line) + "行目で、一覧に載せる生徒が" +
                                      std::to_string(kHighestStudent) + "人を超えました。"});
            }
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

}  // namespace

int schoolYearOf(const CivilDate& today, int yearChangeMonth) {
    return today.month < yearChangeMonth ? today.year - 1 : today.year;
}

int GradeNumber(int schoolYear, int rosterYear) { return schoolYear - rosterYear - 6; }

std::optional<std::string> gradeLabelOf(int gradeNumber) {
    static const std::array<const char*, 11> labels = {
        "幼３", "小１", "小２", "小３", "小４", "小５", "小６", "中１", "中２", "中３", "高１"};
    if (gradeNumber < 0 || gradeNumber >= static_cast<int>(labels.size())) return std::nullopt;
    return labels[gradeNumber];
}

std::string GradePrefix(int gradeNumber) {
    if (gradeNumber <= -3) return "幼-";
    if (gradeNumber <= 0) return "幼" + std::to_string(gradeNumber + 3);
    if (gradeNumber <= 6) return "小" + std::to_string(gradeNumber);
    if (gradeNumber <= 9) return "中" + std::to_string(gradeNumber - 6);
    if (gradeNumber <= 12) return "高" + std::to_string(gradeNumber - 9);
    return "大+";
}

bool isPreSchoolPrefix(std::string_view prefix) {
    for (int gradeNumber = -3; gradeNumber <= 0; ++gradeNumber) {
        if (prefix == GradePrefix(gradeNumber)) return true;
    }
    return false;
}

const std::vector<std::string>& gradeBands() {
    static const std::vector<std::string> bands = {"全学年", "中学生全体", "小学生全体", "中３",
                                                   "中２",   "中１",       "小６",       "小５",
                                                   "小４",   "小３",       "小２",       "小１"};
    return bands;
}

bool InGradeBand(int gradeNumber, std::string_view band) {
    if (band == "全学年") return true;
    if (band == "中学生全体") return gradeNumber >= 7 && gradeNumber <= 9;
    if (band == "小学生全体") return gradeNumber >= 1 && gradeNumber <= 6;
    // The single-grade bands are named by the grade labels of grades 1..9.
    return gradeNumber >= 1 && gradeNumber <= 9 && *gradeLabelOf(gradeNumber) == band;
}

bool isTeacherName(std::string_view rosterName) { return trimSpaces(rosterName) == "先生"; }

Expected<std::vector<std::string>> LoadRoster(RosterTables& tables,
                                              const std::filesystem::path& rosterFile,
                                              const CivilDate& today, int yearChangeMonth,
                                              double rosterOption,
                                              const RosterRowBuilder& rowBuilder) {
    const int schoolYear = schoolYearOf(today, yearChangeMonth);
    std::vector<std::string> skipped;
    const Expected<std::vector<RosterEntry>> entries =
        readRosterEntries(rosterFile, rosterOption, skipped);
    if (!entries) return Unexpected(entries.error());

    tables.SchoolYear = schoolYear;
    int listedCount = 0;
    for (const RosterEntry& entry : *entries) {
        const int student = entry.StudentIndex;
        const int gradeNumber = GradeNumber(schoolYear, entry.RosterYear);
        // A student who is not listed keeps a name, year and label, so that their results still
        // show who they belong to everywhere else.
        tables.RosterNames.at(student) = entry.Name;
        tables.RosterYear.at(student) = entry.RosterYear;
        if (const auto label = gradeLabelOf(gradeNumber)) {
            tables.RosterGradeLabels.at(student) = *label;
        }
        if (!isListed(entry.ListFlag, rosterOption)) continue;

        ++listedCount;
        tables.RosterEntries.at(listedCount) = entry;
        tables.RosterList.at(listedCount) = entry.StudentIndex;
        if (rowBuilder) rowBuilder(tables.RosterEntries.at(listedCount), gradeNumber);
    }
    tables.RosterListCount = listedCount;
    return skipped;
}

}  // namespace gaisan
