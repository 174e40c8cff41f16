#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "base/LoadedRecords.h"
#include "base/ResultRecord.h"
#include "platform/RecordFile.h"

namespace gaisan {

/// How the results recorded so far spread over time bands, per level: the criteria editor shows
/// it beside the grid so that a teacher can choose a sensible target time. Band b holds the
/// times 10·b to 10·b+9 seconds. All results fill bands 0 to 100, the last also holding every
/// longer time (a time-up's 99999 included); the students' best times, one per student and level,
/// fill bands 0 to 30 likewise.
///
/// The counts are kept between refreshes and brought up to date from the records appended since
/// the last one, found by the file's length, so that a key in the editor costs a glance at the
/// file rather than a read of a school's million records. When the file is shorter than before,
/// or its last counted record is no longer the same (a delete, a write-back of that record, a file
/// put back from a copy), everything is counted afresh.
///
/// Records of level 0 are no runs and count nowhere. Levels above 50 (more than any level table
/// holds) and below 0, and negative times (no band can hold them), are passed over as well.
class ResultDistribution {
public:
    static constexpr int kHighestLevel = 50;
    static constexpr int kLastBand = 100;
    static constexpr int kLastBestBand = 30;

    ResultDistribution();

    /// Counts the records appended since the last refresh, or all of them as above. Reads
    /// without a lock, through a descriptor opened for this refresh only; a missing file has no
    /// records. On a failure the counts are left as they were.
    Expected<void> refresh(RecordFile& file, const std::filesystem::path& resultsFile);

    int total(int level) const { return m_totals.at(level); }
    int allResults(int level, int band) const { return m_allResults.at(level).at(band); }
    int bestTimes(int level, int band) const { return m_bestTimes.at(level).at(band); }

    /// `List3`: "レベル3 今まで12回  （★=1）", then one line per band 0..100: 10·b right-aligned in
    /// four characters, "～", and count / scale (rounded half up) stars "★", where the scale is a
    /// tenth of the largest count, at least 1.
    std::vector<std::string> allResultsLines(int level) const;
    /// `List4`: "レベル3 （★=1）", then the best-time counts the same way.
    std::vector<std::string> bestTimeLines(int level) const;

    std::uint64_t recordsCounted() const { return m_records; }

private:
    using Bands = std::array<int, kLastBand + 1>;

    void clear();
    void count(const LoadedRecord& record);
    /// `firstLine` + "（★=" + scale + "）", then the bars of `counts`.
    static std::vector<std::string> bars(const std::string& firstLine, const Bands& counts);

    std::array<int, kHighestLevel + 1> m_totals{};
    std::array<Bands, kHighestLevel + 1> m_allResults{};
    std::array<Bands, kHighestLevel + 1> m_bestTimes{};
    /// The best time of every level and student (any 16-bit number), kNoBest when none yet.
    std::vector<std::int32_t> m_best;
    std::uint64_t m_records = 0;
    RecordBytes m_lastRecord{};
};

}  // namespace gaisan
