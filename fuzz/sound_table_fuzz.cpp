// The sound table: every cue's count fits its slots, and a table that passes the start-up's
// check lists a file for every cue the program plays.

#include <cstddef>
#include <cstdint>

#include "FuzzFile.h"
#include "base/SoundTable.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace gaisan;
    const auto file = fuzzing::inputAsFile("新音ファイル.txt", data, size);
    SoundTable table;
    if (!LoadSoundTable(file, table)) return 0;
    for (int cue = 1; cue <= kCueCount; ++cue) {
        const auto& count = table.cues[cue].count;
        if (count && (*count < 0 || *count >= kCueFileSlots)) __builtin_trap();
    }
    if (!checkPlayedCues(file, table)) return 0;
    for (const int cue : {kCorrectCue, kWrongCue, kPersonalBestCue, kFailCue}) {
        if (table.cues[cue].count.value_or(0) < 1) __builtin_trap();
    }
    return 0;
}
