#include "admin/ResultDistribution.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>

#include "platform/ClosesOnExit.h"

namespace gaisan {
namespace {

constexpr std::int32_t kNoBest = std::numeric_limits<std::int32_t>::max();
constexpr std::size_t kStudentNumbers = 65536;  // every 16-bit student number
constexpr std::uint64_t kRecordsPerRead = 4096;

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

std::optional<FileError> ResultDistribution::refresh(RecordFile& file,
                                                     const std::filesystem::path& resultsFile) {
    ClosesOnExit closes(file);
    std::uint64_t length = 0;
    if (auto error = file.openForReading(resultsFile)) {
        if (error->kind != FileErrorKind::NotFound) return error;
    } else if (auto error = file.length(length)) {
        return error;
    }
    const std::uint64_t records = length / ResultRecord::kSize;
    bool afresh = records < m_records;
    if (!afresh && m_records > 0) {
        RecordBytes last;
        std::size_t bytesRead = 0;
        if (auto error = file.readAt((m_records - 1) * ResultRecord::kSize, last, bytesRead))
            return error;
        afresh = bytesRead != last.size() || last != m_lastRecord;
    }
    if (afresh) clear();

    std::vector<std::byte> buffer(kRecordsPerRead * ResultRecord::kSize);
    while (m_records < records) {
        const std::uint64_t wanted = std::min(kRecordsPerRead, records - m_records);
        std::size_t bytesRead = 0;
        if (auto error =
                file.readAt(m_records * ResultRecord::kSize,
                            std::span(buffer.data(), wanted * ResultRecord::kSize), bytesRead)) {
            // Counted so far stays counted; the next refresh goes on from there.
            return error;
        }
        const std::size_t whole = bytesRead / ResultRecord::kSize;
        if (whole == 0) break;  // cut back meanwhile: the next refresh counts afresh
        for (std::size_t i = 0; i < whole; ++i) {
            const std::span<const std::byte, ResultRecord::kSize> record(
                buffer.data() + i * ResultRecord::kSize, ResultRecord::kSize);
            count(decodeRunFields(record));
            std::memcpy(m_lastRecord.data(), record.data(), ResultRecord::kSize);
        }
        m_records += whole;
    }
    return std::nullopt;
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
