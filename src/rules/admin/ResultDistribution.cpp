#include "rules/admin/ResultDistribution.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>

#include "stores/results/RecordReader.h"

namespace gaisan {
namespace {

constexpr std::int32_t kNoBest = std::numeric_limits<std::int32_t>::max();
constexpr std::size_t kStudentNumbers = 65536;  // every 16-bit student number

std::size_t bestSlot(int level, int student) {
    return static_cast<std::size_t>(level) * kStudentNumbers +
           static_cast<std::size_t>(student + 32768);
}

int band(std::int32_t seconds, int lastBand) { return std::min(seconds / 10, lastBand); }

}  // namespace

ResultDistribution::ResultDistribution() : m_best((kHighestLevel + 1) * kStudentNumbers, kNoBest) {}

void ResultDistribution::clear() {
    m_totals.fill(0);
    for (Bands& bands : m_allResults) bands.fill(0);
    for (Bands& bands : m_bestTimes) bands.fill(0);
    std::fill(m_best.begin(), m_best.end(), kNoBest);
    m_records = 0;
}

void ResultDistribution::count(const LoadedRecord& record) {
    if (record.level < 1 || record.level > kHighestLevel || record.seconds < 0) return;
    ++m_totals[record.level];
    ++m_allResults[record.level][band(record.seconds, kLastBand)];
    std::int32_t& best = m_best[bestSlot(record.level, record.student)];
    if (record.seconds >= best) return;
    if (best != kNoBest) --m_bestTimes[record.level][band(best, kLastBestBand)];
    best = record.seconds;
    ++m_bestTimes[record.level][band(best, kLastBestBand)];
}

Expected<void> ResultDistribution::refresh(RecordFile& file,
                                           const std::filesystem::path& resultsFile) {
    // The read goes on from the last record counted, which must still be the one counted.
    std::uint64_t counted = m_records;
    bool afresh = false;
    const auto countBlock = [&](const RecordBlock& block) {
        std::size_t i = 0;
        if (block.first == counted && counted > 0) {
            if (!std::equal(m_lastRecord.begin(), m_lastRecord.end(), block.record(0).begin())) {
                afresh = true;
                return false;
            }
            i = 1;
        }
        for (; i < block.count(); ++i) {
            count(decodeRunFields(block.record(i)));
            std::memcpy(m_lastRecord.data(), block.record(i).data(), ResultRecord::kSize);
            ++m_records;
        }
        return true;
    };
    RecordReadEnd end;
    const RecordReadPolicy onwards{RecordSelection::from(std::max<std::uint64_t>(counted, 1)),
                                   WhenMissing::IsEmpty};
    // Counted so far stays counted after an error; the next refresh goes on from there.
    if (auto read = readRecords(file, resultsFile, onwards, countBlock, &end); !read) return read;
    // Shorter than when last counted, or its last counted record changed: a delete, a write-back
    // of that record, a file put back from a copy.
    if (!afresh && end.wholeRecords >= counted) return {};
    clear();
    counted = 0;
    return readRecords(file, resultsFile, {RecordSelection::all(), WhenMissing::IsEmpty},
                       countBlock);
}

std::vector<std::string> ResultDistribution::bars(const std::string& firstLine,
                                                  const Bands& counts) {
    const int largest = *std::max_element(counts.begin(), counts.end());
    const int scale = std::max(1, largest / 10);
    std::vector<std::string> lines;
    lines.reserve(counts.size() + 1);
    lines.push_back(firstLine + "（★=" + std::to_string(scale) + "）");
    for (int b = 0; b <= kLastBand; ++b) {
        char label[16];
        std::snprintf(label, sizeof label, "%4d", 10 * b);
        std::string line = std::string(label) + "～";
        // Rounded half up: count / scale + 0.5, whole part.
        const int stars = (2 * counts[b] + scale) / (2 * scale);
        for (int star = 0; star < stars; ++star) line += "★";
        lines.push_back(std::move(line));
    }
    return lines;
}

std::vector<std::string> ResultDistribution::allResultsLines(int level) const {
    return bars(
        "レベル" + std::to_string(level) + " 今まで" + std::to_string(m_totals.at(level)) + "回  ",
        m_allResults.at(level));
}

std::vector<std::string> ResultDistribution::bestTimeLines(int level) const {
    return bars("レベル" + std::to_string(level) + " ", m_bestTimes.at(level));
}

}  // namespace gaisan
