#include "tools/Commands.h"

#include <charconv>
#include <iostream>

#include "app/IndexedTables.h"
#include "platform/PosixRecordFile.h"
#include "records/RecordsAdministration.h"
#include "tools/CommandSupport.h"
#include "tools/DumpLine.h"

namespace gaisan {

namespace {

/// Record N of the command line: a whole number from 1.
std::uint64_t recordNumberOperand(const CommandLine& line) {
    if (line.operands.size() != 2) throw UsageError("expected FILE and a record number N");
    const std::string& text = line.operands[1];
    std::uint64_t number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size() || number == 0) {
        throw UsageError("N must be a record number from 1, not \"" + text + "\"");
    }
    return number;
}

/// With --expect, the record must print exactly as the line given; without it, any record will do.
RecordCheck expectedRecord(const CommandLine& line, std::uint64_t number) {
    const std::optional<std::string> expected = line.option("expect");
    if (!expected) return [](std::span<const std::byte, ResultRecord::kSize>) { return true; };
    return [expected = *expected, number](std::span<const std::byte, ResultRecord::kSize> current) {
        return dumpLine(number, decodeRecord(current)) == expected;
    };
}

/// Exit status 0 when the change was made, 1 when record N is not the one expected or there is
/// none, 2 when a file error stopped it.
int changeStatus(const std::string& file, std::uint64_t number,
                 const RecordsAdministration::Result& result) {
    reportInterruptedDelete(result.interrupted, std::cerr);
    if (result.answersProblem) {
        std::cerr << "gaisan-records: warning: the run's answers did not move with it: "
                  << *result.answersProblem << "\n";
    }
    switch (result.outcome) {
        case RecordsAdministration::Outcome::Done:
            return 0;
        case RecordsAdministration::Outcome::Refused:
            throw UsageError(result.problem);
        case RecordsAdministration::Outcome::NotTheRecord:
            std::cerr << "gaisan-records: record " << number
                      << " is not the one expected; nothing was changed\n";
            return 1;
        case RecordsAdministration::Outcome::PastEnd:
            std::cerr << "gaisan-records: " << file << " has no record " << number
                      << "; nothing was changed\n";
            return 1;
        case RecordsAdministration::Outcome::Failed:
            break;
    }
    throw Unusable(file + ": " + result.error->description);
}

}  // namespace

int deleteCommand(const CommandLine& line) {
    const std::uint64_t number = recordNumberOperand(line);
    const std::string& file = line.operands[0];
    if (!std::filesystem::is_regular_file(file)) throw Unusable(file + ": no such file");
    PosixRecordFile recordFile;
    const SystemClock clock;
    RecordsAdministration administration(recordFile, file, sleepingWait(), clock);
    return changeStatus(file, number,
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
    RecordsAdministration administration(recordFile, file, sleepingWait(), clock);
    administration.moveAnswersThrough(answersFile);
    return changeStatus(
        file, number,
        administration.writeBack(number, expectedRecord(line, number), student, seconds));
}

}  // namespace gaisan
