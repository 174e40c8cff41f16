#include "tools/Commands.h"

#include <iostream>

#include "base/IndexedTables.h"
#include "platform/Cp932.h"
#include "platform/PosixRecordFile.h"
#include "stores/results/ResultsFile.h"
#include "tools/CommandSupport.h"

namespace gaisan {

int appendCommand(const CommandLine& line) {
    const std::string& file = onlyOperand(line, "FILE");
    const auto student = line.wholeOption("student", 1, kHighestStudent);
    const auto level = line.wholeOption("level", 1, kHighestLevel);
    const auto seconds = line.wholeOption("seconds", 0, 2147483647);
    if (!student || !level || !seconds)
        throw UsageError("--student, --level and --seconds are needed");
    const std::optional<std::string> school = line.option("school");
    if (school) {
        // The code is stored in five bytes of CP932, like the code the school's settings give.
        std::string stored;
        try {
            stored = encodeCp932(*school);
        } catch (const Cp932Error&) {
            throw UsageError("--school holds a character CP932 cannot store");
        }
        if (stored.size() > ResultRecord::kTextFieldSize) {
            throw UsageError("--school takes at most five bytes in CP932, such as five digits");
        }
    }
    const FixedClock at(nowOrOption(line, "at"));
    const SystemClock systemClock;
    const Clock& clock = line.option("at") ? static_cast<const Clock&>(at) : systemClock;
    PosixRecordFile recordFile;
    ResultsFile results(recordFile, file, clock, sleepingWait());
    const Expected<AppendDone> appended =
        results.AppendResultRecord({static_cast<int>(*student), static_cast<int>(*level),
                                    static_cast<std::int32_t>(*seconds), school});
    if (!appended) throw Unusable(appended.error().text());
    // The run is recorded; a copy that failed is no failure of the command, but it is said.
    if (appended->backupProblem) {
        std::cerr << "warning: " << appended->backupProblem->text() << '\n';
    }
    return 0;
}

}  // namespace gaisan
