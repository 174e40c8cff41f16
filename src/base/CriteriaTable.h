#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "base/IndexedTables.h"
#include "platform/Expected.h"

namespace gaisan {

/// The pass criteria of every level, one entry per line of "タイム回数データ.txt": entry 0 holds
/// the title line (never read as a level), entry n the criteria of level n.
struct CriteriaTable {
    PerLevel<std::int32_t> TargetTime{};  ///< 目標Time: the pass-standard time, seconds
    PerLevel<std::int32_t>
        MinLineTime{};  ///< 最低Time: minimum-line time; 5 × it is the time limit
    PerLevel<std::int32_t>
        ClearPoints{};  ///< ｸﾘｱﾎﾟｲﾝﾄ: points that clear the level; 9999: no target
    PerLevel<std::int16_t> ClearCount{};  ///< ｸﾘｱ回数: passes that clear the level
    PerLevel<float> PointRate{};          ///< ﾎﾟｲﾝﾄ倍率: multiplier of a run's points
    PerLevel<double> OveruseCount{};      ///< 禁回: runs that close the level; 0 = no limit
    PerLevel<double> OverusePoints{};     ///< 禁点: points that close the level; 0 = no limit
    PerLevel<double> PassDays{};          ///< 判期間: days over which passes count
    PerLevel<double> OveruseDays{};       ///< 禁期間: days over which over-use counts
    PerLevel<std::string> CriteriaExtra1{};  ///< kept and written back, never interpreted
    PerLevel<std::string> CriteriaExtra2{};
    PerLevel<std::string> CriteriaExtra3{};
};

/// In the clear points or clear count of a level: no such target can be reached.
inline constexpr int kNoClearTarget = 9999;

inline constexpr int kCriteriaFields = 12;
/// The title line and levels 1..35.
inline constexpr int kMaxCriteriaLines = kLevelSlots;

/// One line of the criteria file as its 12 field texts, the way the editor shows and saves them.
using CriteriaLine = std::array<std::string, kCriteriaFields>;

/// The column titles the editor writes as line 0; the last three columns have no title.
const CriteriaLine& criteriaTitleLine();

/// Reads the lines of a criteria file as texts. Fails, naming the line, when the file is missing
/// or unreadable, holds more than 36 lines, or a line without exactly 12 fields.
Expected<std::vector<CriteriaLine>> readCriteriaFile(const std::filesystem::path& file);

/// Refuses criteria that would break a level, naming the line and column: a level of
/// 1..`requiredLevels` without a line (such a level would end every run at once as a time-up and
/// record it), a negative time, a minimum-line time of 0 for a required level or one whose time
/// limit (5 ×) reaches the time-up and failure marks 99998 and 99999, a point rate outside 0 to
/// 1000 (larger rates overflow the points), or a number its column cannot hold. The title line
/// is never checked. The failure names `file`.
Expected<void> checkCriteriaLines(const std::filesystem::path& file,
                                  const std::vector<CriteriaLine>& lines, int requiredLevels);

/// Replaces the criteria file with `lines`: fields joined by "," and each line ended by CR LF,
/// nothing quoted or trimmed, written whole or not at all. Fails, writing nothing, for more than
/// 36 lines, lines that checkCriteriaLines refuses, or a field that would not read back as
/// written (a comma, a double quote or a line break in it), and when the write fails.
Expected<void> writeCriteriaFile(const std::filesystem::path& file,
                                 const std::vector<CriteriaLine>& lines, int requiredLevels);

/// The CP932 bytes writeCriteriaFile writes for `lines`; fails for the lines it refuses.
Expected<std::string> criteriaFileBytes(const std::filesystem::path& file,
                                        const std::vector<CriteriaLine>& lines, int requiredLevels);

/// Reads the criteria file into `table`: line n into entry n. Entries beyond the file's last line
/// keep their values. A numeric field reads as its leading number (an empty field or text such as
/// a title as 0); a fraction in a whole-number column is rounded to the nearest whole number.
/// Fails, changing nothing, when the file cannot be read or checkCriteriaLines refuses it.
Expected<void> LoadCriteriaTable(const std::filesystem::path& file, CriteriaTable& table,
                                 int requiredLevels);

}  // namespace gaisan
