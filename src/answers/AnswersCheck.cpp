#include "answers/AnswersCheck.h"

#include "answers/AnswersFailureLog.h"
#include "answers/AnswersFile.h"

namespace gaisan {

AnswersCheck answersCheckOf(RecordFile& file, const std::filesystem::path& resultsFile) {
    AnswersCheck check;
    for (const AnswersFileName& name : answersFilesOf(resultsFile)) {
        if (check.years.empty() || check.years.back().year != name.year) {
            check.years.push_back({name.year, 0, 0});
        }
        const AnswersFileRead read = readAnswersFile(file, name.path, [](const RunBlock&) {});
        ++check.years.back().files;
        check.years.back().bytes += read.bytes;
        if (read.error) check.problems.push_back(*read.error);
        if (read.bytesLeftOut != 0) {
            check.warnings.push_back(name.path.string() + ": " + std::to_string(read.bytesLeftOut) +
                                     " bytes are no part of a whole run's answers and are passed "
                                     "over");
        }
    }
    check.failures = loggedAnswersFailures(resultsFile);
    check.backupFailures = loggedAnswersBackupFailures(resultsFile);
    return check;
}

}  // namespace gaisan
