// The results file as every reader meets it: the load with its best times, the counting, and
// the whole-file check, on any bytes.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "FuzzFile.h"
#include "base/AppState.h"
#include "platform/Calendar.h"
#include "platform/PosixRecordFile.h"
#include "rules/counts/Counts.h"
#include "stores/results/ResultsFile.h"

namespace {

class StoppedClock final : public gaisan::Clock {
public:
    gaisan::LocalDateTime now() const override { return {{2026, 12, 10}, 36000}; }
    std::int64_t tickMilliseconds() const override { return 0; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace gaisan;
    static auto state = [] {
        auto created = std::make_unique<AppState>();
        for (int level = 1; level <= kHighestLevel; ++level) {
            created->criteria.TargetTime.at(level) = 60 + level;
            created->criteria.MinLineTime.at(level) = 90;
            created->criteria.ClearPoints.at(level) = 100;
            created->criteria.ClearCount.at(level) = 5;
            created->criteria.PointRate.at(level) = level % 3 == 0 ? 1000.0f : 1.5f;
            created->criteria.OveruseCount.at(level) = 30;
            created->criteria.OverusePoints.at(level) = 200;
            created->criteria.PassDays.at(level) = 30;
            created->criteria.OveruseDays.at(level) = level % 5;
        }
        return created;
    }();
    const auto file = fuzzing::inputAsFile("成績累積データ.dat", data, size);
    static const StoppedClock clock;
    PosixRecordFile recordFile;
    ResultsFile results(recordFile, file, clock, [](int) { __builtin_trap(); });
    const bool loaded = ComputeCounts(*state, results, clock.now()).has_value();
    if (loaded && state->records.entries.size() > LoadedRecords::kLoadWindow) __builtin_trap();

    // A file whose every record the check passes never stops the load.
    const int today = daySerial(clock.now().date);
    bool allSound = true;
    for (std::size_t at = 0; at + ResultRecord::kSize <= size; at += ResultRecord::kSize) {
        const auto bytes = std::span<const std::byte, ResultRecord::kSize>(
            reinterpret_cast<const std::byte*>(data + at), ResultRecord::kSize);
        if (ResultsFile::problemOf(decodeRecord(bytes), today)) allSound = false;
    }
    if (allSound && !loaded) __builtin_trap();
    return 0;
}
