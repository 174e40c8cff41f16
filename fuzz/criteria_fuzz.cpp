// The criteria file: whatever loads must be within the rules, and must write back and read
// again as the same lines.

#include <cstddef>
#include <cstdint>

#include "FuzzFile.h"
#include "base/CriteriaTable.h"
#include "base/ProgramProfile.h"
#include "platform/DataFileError.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace gaisan;
    const auto file = fuzzing::inputAsFile("タイム回数データ.txt", data, size);
    CriteriaTable table;
    try {
        LoadCriteriaTable(file, table, kDefinedLevelCount);
    } catch (const DataFileError&) {
        return 0;
    }
    for (int level = 1; level <= kDefinedLevelCount; ++level) {
        if (table.MinLineTime.at(level) < 1 || 5 * table.MinLineTime.at(level) >= 99998)
            __builtin_trap();
        if (!(table.PointRate.at(level) >= 0 && table.PointRate.at(level) <= 1000))
            __builtin_trap();
        if (table.TargetTime.at(level) < 0) __builtin_trap();
    }
    const std::vector<CriteriaLine> lines = readCriteriaFile(file);
    const auto copy = fuzzing::scratchFolder() / "copy.txt";
    try {
        writeCriteriaFile(copy, lines, kDefinedLevelCount);
    } catch (const DataFileError&) {
        return 0;  // a field the editor could not have written (a quoted comma)
    }
    if (readCriteriaFile(copy) != lines) __builtin_trap();
    return 0;
}
