#include "tools/Commands.h"

#include <charconv>
#include <iostream>

#include "base/IndexedTables.h"
#include "platform/PosixRecordFile.h"
#include "stores/results/RecordsAdministration.h"
#include "tools/CommandSupport.h"
#include "tools/DumpLine.h"

namespace gaisan {

namespace {

/// The number after FILE on the command line: a whole number from 1, `what` ("a record number")
/// and `name` ("N") naming it in messages.
std::uint64_t numberOperand(const CommandLine& line, const std::string& what,
                            const std::string& name) {
    if (line.operands.size() != 2) throw UsageError("expected FILE and " + what + " " + name);
    const std::string& text = line.operands[1];
    std::uint64_t number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size() || number == 0) {
        throw UsageError(name + " must be " + what + " from 1, not \"" + text + "\"");
    }
    return number;
}

/// Record N of the command line.
std::uint64_t recordNumberOperand(const CommandLine& line) {
    return numberOperand(line, "a record number", "N");
}

/// With --expect, the record must print exactly as the line given; without it, any record will do.
RecordCheck expectedRecord(const CommandLine& line, std::uint64_t number) {
    const std::optional<std::string> expected = line.option("expect");
    if (!expected) return [](std::span<const std::byte, ResultRecord::kSize>) { return true; };
    return [expected = *expected, number](std::span<const std::byte, ResultRecord::kSize> current) {
        return dumpLine(number, decodeRecord(current)) == expected;
    };
}

/// What a change was asked to work on, as its messages name it.
struct ChangeSubject {
    std::string notExpected;  ///< "record 5 is not the one expected"
    std::string missing;      ///< "FILE has no record 5"
};

ChangeSubject recordSubject(const std::string& file, std::uint64_t number) {
    return {"record " + std::to_string(number) + " is not the one expected",
            file + " has no record " + std::to_string(number)};
}

/// The administration of the results file `file`, telling on the standard error what it found
/// of a change a crash cut short.
RecordsAdministration administrationOf(RecordFile& recordFile, const std::string& file,
                                       const Clock& clock) {
    RecordsAdministration administration(recordFile, file, sleepingWait(), clock);
    administration.tellInterruptedTo(
        [](const InterruptedMove& found) { reportInterruptedDelete(found, std::cerr); });
    return administration;
}

/// Exit status 0 when the change was made, 1 when its subject is not the one expected or there
/// is none, or an undo is blocked, 2 when a file error stopped it.
int changeStatus(const ChangeSubject& subject, const RecordsAdministration::Result& result) {
    if (!result) throw Unusable(result.error().text());
    if (result->movedAnswers.answers) {
        std::cerr << "gaisan-records: warning: the run's answers did not move with it: "
                  << result->movedAnswers.answers->text() << "\n";
    } else if (result->movedAnswers.backup) {
        std::cerr << "gaisan-records: warning: the run's answers moved with it, but the day's "
                     "copy of the answers file they went to was not taken: "
                  << result->movedAnswers.backup->text() << "\n";
    }
    switch (result->kind) {
        case ChangeOutcome::Kind::Done:
            return 0;
        case ChangeOutcome::Kind::Refused:
            throw UsageError(result->why);
        case ChangeOutcome::Kind::NotTheRecord:
            std::cerr << "gaisan-records: " << subject.notExpected << "; nothing was changed\n";
            return 1;
        case ChangeOutcome::Kind::PastEnd:
            std::cerr << "gaisan-records: " << subject.missing << "; nothing was changed\n";
            return 1;
        case ChangeOutcome::Kind::Blocked:
            std::cerr << "gaisan-records: the undo was refused, nothing was changed: "
                      << result->why << '\n';
            return 1;
    }
    return 0;
}

}  // namespace

int deleteCommand(const CommandLine& line) {
    const std::uint64_t number = recordNumberOperand(line);
    const std::string& file = line.operands[0];
    if (!std::filesystem::is_regular_file(file)) throw Unusable(file + ": no such file");
    PosixRecordFile recordFile;
    const SystemClock clock;
    RecordsAdministration administration = administrationOf(recordFile, file, clock);
    return changeStatus(recordSubject(file, number),
                        administration.deleteRecord(number, expectedRecord(line, number)));
}

int setCommand(const CommandLine& line) {
    const std::uint64_t number = recordNumberOperand(line);
    const std::string& file = line.operands[0];
    const auto student = line.wholeOption("student", 1, kHighestStudent);
    const auto seconds = line.wholeOption("seconds", 0, 99999);
    if (!student && !seconds) throw UsageError("--seconds or --student is needed");
    if (!std::filesystem::is_regular_file(file)) throw Unusable(file + ": no such file");
    PosixRecordFile recordFile;
    PosixRecordFile answersFile;
    const SystemClock clock;
    RecordsAdministration administration = administrationOf(recordFile, file, clock);
    administration.moveAnswersThrough(answersFile);
    return changeStatus(
        recordSubject(file, number),
        administration.writeBack(number, expectedRecord(line, number), student, seconds));
}

int undoCommand(const CommandLine& line) {
    const std::uint64_t number = numberOperand(line, "an entry number", "ENTRY");
    const std::string& file = line.operands[0];
    if (!std::filesystem::is_regular_file(file)) throw Unusable(file + ": no such file");
    // With --expect, the entry's record must print exactly as the line given, as the last record
    // of the entry's `history` line does.
    const std::optional<std::string> expected = line.option("expect");
    const EntryCheck isTheEntry = [&](const HistoryEntry& entry) {
        return !expected ||
               dumpLine(entry.recordNumber, decodeRecord(recordShownLast(entry))) == *expected;
    };
    PosixRecordFile recordFile;
    const SystemClock clock;
    RecordsAdministration administration = administrationOf(recordFile, file, clock);
    const std::string entry = "entry " + std::to_string(number);
    return changeStatus({entry + "'s record is not the one expected",
                         historyFileOf(file).string() + " has no " + entry},
                        administration.undo(number, isTheEntry));
}

}  // namespace gaisan
