#include "tools/Commands.h"

#include <iostream>

#include "base/DateTexts.h"
#include "platform/PosixRecordFile.h"
#include "stores/results/ChangeHistory.h"
#include "stores/results/RecordsAdministration.h"
#include "tools/CommandSupport.h"
#include "tools/DumpLine.h"

namespace gaisan {
namespace {

/// `text` from the file with every control character, a tab or a line end included, as "?": a
/// damaged or hostile history neither breaks the lines nor reaches the terminal as a command.
std::string printable(const std::string& text) {
    std::string shown = text;
    for (char& c : shown) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    }
    return shown;
}

/// An entry as `history` prints it: its number, when, the machine, the user, "delete", "set" or
/// "putback", the record number, then "before" and the record as `dump` prints it (not for a
/// put-back), "after" and the record written or put back (not for a delete), and for an undo
/// "undoes" and the number of the entry it took back; tab-separated.
std::string historyLine(std::uint64_t number, const HistoryEntry& entry) {
    const auto record = [&](const RecordBytes& bytes) {
        return dumpLine(entry.recordNumber, decodeRecord(bytes));
    };
    std::string line = std::to_string(number) + '\t' + dateText(entry.date) + ' ' +
                       clockText(entry.clock) + '\t' + printable(entry.host) + '\t' +
                       printable(entry.user) + '\t';
    switch (entry.kind) {
        case HistoryEntry::Kind::Delete:
            line += "delete\t" + std::to_string(entry.recordNumber) + "\tbefore\t" +
                    record(entry.before);
            break;
        case HistoryEntry::Kind::WriteBack:
            line += "set\t" + std::to_string(entry.recordNumber) + "\tbefore\t" +
                    record(entry.before) + "\tafter\t" + record(entry.after);
            break;
        case HistoryEntry::Kind::PutBack:
            line += "putback\t" + std::to_string(entry.recordNumber) + "\tafter\t" +
                    record(entry.after);
            break;
    }
    if (entry.undoes != 0) line += "\tundoes\t" + std::to_string(entry.undoes);
    return line;
}

/// Keeps every whole entry of the history and sets the rest aside, saying what was done.
int setAsideDamage(const std::filesystem::path& file) {
    if (!std::filesystem::is_regular_file(file)) throw Unusable(file.string() + ": no such file");
    PosixRecordFile recordFile;
    const SystemClock clock;
    RecordsAdministration administration(recordFile, file, sleepingWait(), clock);
    administration.tellInterruptedTo(
        [](const InterruptedMove& found) { reportInterruptedDelete(found, std::cerr); });
    HistoryMend mend;
    const RecordsAdministration::Result result = administration.setAsideDamagedHistory(mend);
    // Said without the results file's name, which the problem gives where it matters.
    if (!result) throw Unusable(result.error().problem);
    if (result->kind == ChangeOutcome::Kind::Blocked) {
        std::cerr << "gaisan-records: nothing was changed: " << result->why << '\n';
        return 1;
    }
    const std::filesystem::path history = historyFileOf(file);
    if (mend.setAsideAs.empty()) {
        std::cout << "nothing damaged\t" << history.string() << '\t' << mend.wholeEntries
                  << " entries\n";
        return 0;
    }
    std::cout << "kept\t" << history.string() << '\t' << mend.wholeEntries << " entries"
              << (mend.renumbers ? ", numbered anew" : "") << '\n';
    std::cout << "set aside\t" << mend.setAsideAs.string() << '\t' << mend.damagedEntries
              << " damaged entries and " << mend.partialBytes
              << " bytes of a partial one, in the history as it was\n";
    return 0;
}

}  // namespace

int historyCommand(const CommandLine& line) {
    const std::filesystem::path file = onlyOperand(line, "FILE");
    if (line.flag("set-aside-damaged")) return setAsideDamage(file);
    const std::filesystem::path history = historyFileOf(file);
    PosixRecordFile historyFile;
    int status = 0;
    // A run of damaged entries is one line: a history grown by zeros holds millions.
    const Expected<void> read = readHistoryInRuns(
        historyFile, history,
        [&](std::uint64_t number, const HistoryEntry& entry) {
            std::cout << historyLine(number, entry) << '\n';
        },
        [&](std::uint64_t first, std::uint64_t last) {
            std::cout << first;
            if (last != first) std::cout << '-' << last;
            std::cout << "\tdamaged\n";
            status = 1;
        });
    if (!read) throw Unusable(read.error().text());
    return status;
}

}  // namespace gaisan
