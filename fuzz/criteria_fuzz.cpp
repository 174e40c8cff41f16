// The criteria file: whatever loads must be within the rules, and must write back and read
// again as the same lines.

#include <cstddef>
#include <cstdint>

#include "FuzzFile.h"
#include "base/CriteriaTable.h"
#include "base/ProgramProfile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace gaisan;
    const auto file = fuzzing::inputAsFile("タイム回数データ.txt", data, size);
    CriteriaTable table;
    if (!LoadCriteriaTable(file, table, kDefinedLevelCount)) return 0;
    for (int level = 1; level <= kDefinedLevelCount; ++level) {
        if (table.MinLineTime.at(level) < 1 || 5 * table.MinLineTime.at(level) >= 99998)
            __builtin_trap();
        if (!(table.PointRate.at(level) >= 0 && table.PointRate.at(level) <= 1000))
            __builtin_trap();
        if (table.TargetTime.at(level) < 0) __builtin_trap();
    }
    const std::vector<CriteriaLine> lines = readCriteriaFile(file).value();
    const auto copy = fuzzing::scratchFolder() / "copy.txt";
    if (!writeCriteriaFile(copy, lines, kDefinedLevelCount)) {
        return 0;  // a field the editor could not have written (a quoted comma)
    }
    if (readCriteriaFile(copy).value() != lines) __builtin_trap();
    return 0;
}
