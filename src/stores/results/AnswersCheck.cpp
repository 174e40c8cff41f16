#include "stores/results/AnswersCheck.h"

#include <set>

#include "platform/SharedFileMode.h"
#include "stores/results/AnswersFailureLog.h"
#include "stores/results/AnswersFile.h"

namespace gaisan {

AnswersCheck answersCheckOf(RecordFile& file, const std::filesystem::path& resultsFile) {
    AnswersCheck check;
    const AnswersListing listing = answersFilesOf(resultsFile);
    // Every user of the classroom appends to the answers as to the results file, so the folders
    // and files must stay as writable as the folder that holds them.
    std::set<int> years;
    for (const AnswersFileName& name : listing.files) years.insert(name.year);
    for (const UnreadableAnswersYear& year : listing.unreadableYears) {
        years.insert(year.year);
        check.problems.push_back(year.problem.text());
    }
    for (const int year : years) {
        if (auto problem = sharingProblemOf(answersFolderOf(resultsFile, year)))
            check.problems.push_back(*problem);
    }
    for (const AnswersFileName& name : listing.files) {
        if (check.years.empty() || check.years.back().year != name.year) {
            check.years.push_back({name.year, 0, 0});
        }
        ++check.years.back().files;
        if (auto problem = sharingProblemOf(name.path)) check.problems.push_back(*problem);
        if (name.problem) {
            check.problems.push_back(name.problem->text());
            continue;
        }
        const Expected<AnswersFileRead> read =
            readListedAnswersFile(file, name.path, [](const RunBlock&) {});
        if (!read) {
            check.problems.push_back(read.error().text());
            continue;
        }
        check.years.back().bytes += read->bytes;
        if (read->bytesLeftOut != 0) {
            check.warnings.push_back(name.path.string() + ": " +
                                     std::to_string(read->bytesLeftOut) +
                                     " bytes are no part of a whole run's answers and are passed "
                                     "over");
        }
    }
    for (const std::filesystem::path& stray : listing.strays) {
        check.warnings.push_back(stray.string() +
                                 ": not named as the program names answers; passed over");
    }
    LoggedAnswersProblems logged = loggedAnswersProblems(resultsFile);
    check.failures = std::move(logged.failures);
    check.backupFailures = std::move(logged.backupFailures);
    return check;
}

}  // namespace gaisan
