#include "tools/Commands.h"

#include <iostream>

#include "base/DateTexts.h"
#include "platform/Calendar.h"
#include "platform/PosixRecordFile.h"
#include "stores/results/AnswersCheck.h"
#include "stores/results/AnswersFile.h"
#include "stores/results/DailyBackup.h"
#include "stores/results/InsertJournal.h"
#include "stores/results/RecordStream.h"
#include "stores/results/RecordsAdministration.h"
#include "stores/results/ResultsFile.h"
#include "stores/results/SharedFilesCheck.h"
#include "stores/results/SharingWarning.h"
#include "tools/CommandSupport.h"

namespace gaisan {

int checkCommand(const CommandLine& line) {
    const std::filesystem::path file = onlyOperand(line, "FILE");
    // Only a change cut short makes the check a writer: it is finished, like any writer would.
    if (std::filesystem::exists(deleteJournalPathOf(file)) ||
        std::filesystem::exists(insertJournalPathOf(file)) ||
        std::filesystem::exists(pendingChangeFileOf(file))) {
        PosixRecordFile recordFile;
        const SystemClock clock;
        RecordsAdministration administration(recordFile, file, sleepingWait(), clock);
        administration.tellInterruptedTo(
            [](const InterruptedMove& found) { reportInterruptedDelete(found, std::cout); });
        if (const auto finished = administration.recoverInterruptedChange(); !finished) {
            throw Unusable(finished.error().text());
        }
    }
    const CivilDate today = nowOrOption(line, "now").date;
    int problems = 0;
    const Expected<RecordReadEnd> read =
        forEachRecord(file, [&](std::uint64_t number, const ResultRecord& r) {
            const auto problem = ResultsFile::problemOf(r, daySerial(today));
            if (!problem) return;
            std::cout << "record " << number << ": student " << r.StudentIndex << ", level "
                      << r.LevelIndex << ", date " << dateText(r.RecordDate) << ", clock "
                      << clockText(r.RecordClock) << ": " << *problem << '\n';
            ++problems;
        });
    if (!read) throw Unusable(read.error().text());
    const RecordReadEnd& end = *read;
    if (end.partialBytes != 0) {
        std::cout << "partial record of " << end.partialBytes << " bytes after record "
                  << end.wholeRecords << '\n';
        ++problems;
    }
    if (problems == 0) std::cout << "ok: " << end.recordsRead << " records\n";
    for (const std::filesystem::path& backup : backupsOf(file)) {
        std::error_code error;
        const std::uintmax_t size = std::filesystem::file_size(backup, error);
        std::cout << "backup\t" << backup.string() << '\t'
                  << (error ? 0 : size / ResultRecord::kSize) << " records\n";
    }
    // A damaged entry is a change nobody can tell of or undo any more; a run of them, such as a
    // history grown by zeros, is one problem.
    PosixRecordFile historyFile;
    const std::filesystem::path history = historyFileOf(file);
    std::uint64_t entries = 0;
    const Expected<void> historyRead = readHistoryInRuns(
        historyFile, history, [&](std::uint64_t number, const HistoryEntry&) { entries = number; },
        [&](std::uint64_t first, std::uint64_t last) {
            entries = last;
            std::cout << "problem: " << history.string() << ": "
                      << (first == last ? "entry " + std::to_string(first) + " is"
                                        : "entries " + std::to_string(first) + " to " +
                                              std::to_string(last) + " are")
                      << " damaged (history --set-aside-damaged sets them aside)\n";
            ++problems;
        });
    std::error_code noSize;
    const std::uintmax_t historySize = std::filesystem::file_size(history, noSize);
    if (!noSize && historyIsFull(historySize)) {
        std::cout << "problem: " << history.string() << ": " << historySize / HistoryEntry::kSize
                  << " entries, and a history holds " << kMostHistoryEntries
                  << ": no more changes can be recorded\n";
        ++problems;
    }
    if (!historyRead) {
        std::cout << "problem: " << historyRead.error().text() << '\n';
        ++problems;
    } else if (entries != 0) {
        std::cout << "history\t" << history.string() << '\t' << entries << " entries\n";
    }
    PosixRecordFile answersFile;
    const AnswersCheck answers = answersCheckOf(answersFile, file);
    for (const AnswersCheck::Year& year : answers.years) {
        std::cout << "answers\t" << answersFolderOf(file, year.year).string() << '\t' << year.files
                  << " files\t" << year.bytes << " bytes\n";
    }
    // Unreadable answers are missing from every analysis until someone puts them right; bytes
    // left out and failed writes are past events the results never depended on.
    for (const std::string& problem : answers.problems) {
        std::cout << "problem: " << problem << '\n';
        ++problems;
    }
    for (const std::string& warning : answers.warnings) std::cout << "warning: " << warning << '\n';
    for (const std::string& failure : answers.failures) {
        std::cout << "answers not written: " << failure << '\n';
    }
    for (const std::string& failure : answers.backupFailures) {
        std::cout << "answers backup not taken: " << failure << '\n';
    }
    PosixRecordFile sharedFile;
    for (const std::string& problem : sharedFileProblemsOf(sharedFile, file, today)) {
        std::cout << "problem: " << problem << '\n';
        ++problems;
    }
    if (const auto warning = sharingWarningForFolder(file.parent_path())) {
        std::cout << "warning: " << *warning << '\n';
    }
    return problems == 0 ? 0 : 1;
}

}  // namespace gaisan
