#include "tools/Commands.h"

#include <iostream>

#include "platform/PosixRecordFile.h"
#include "records/ChangeHistory.h"
#include "records/RecordFieldTexts.h"
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

}  // namespace

int historyCommand(const CommandLine& line) {
    const std::filesystem::path file = onlyOperand(line, "FILE");
    const std::filesystem::path history = historyFileOf(file);
    PosixRecordFile historyFile;
    int status = 0;
    const auto error = readHistory(
        historyFile, history, [&](std::uint64_t number, const std::optional<HistoryEntry>& entry) {
            if (entry) {
                std::cout << historyLine(number, *entry) << '\n';
            } else {
                std::cout << number << "\tdamaged\n";
                status = 1;
            }
        });
    if (error) throw Unusable(history.string() + ": " + error->description);
    return status;
}

}  // namespace gaisan
