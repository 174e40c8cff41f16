// The roster: whatever loads lists only students the tables hold, without gaps, names of
// exactly twenty characters.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "FuzzFile.h"
#include "platform/Utf8.h"
#include "stores/roster/Roster.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace gaisan;
    const auto file = fuzzing::inputAsFile("新名簿.txt", data, size);
    static auto tables = std::make_unique<RosterTables>();
    int rows = 0;
    const auto loaded =
        LoadRoster(*tables, file, {2026, 12, 10}, 4, size % 2, [&](const RosterEntry& entry, int) {
            ++rows;
            if (entry.StudentIndex < 1 || entry.StudentIndex > kHighestStudent) __builtin_trap();
            if (characterCount(entry.Name) != kRosterTextLength) __builtin_trap();
        });
    if (!loaded) return 0;
    if (rows != tables->RosterListCount) __builtin_trap();
    return 0;
}
