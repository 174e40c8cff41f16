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

/// An entry as `history` prints it: its number, when, the machine, the user, "delete" or "set",
/// the record number, then "before" and the record as `dump` prints it, and for a write-back
/// "after" and the record written; tab-separated.
std::string historyLine(std::uint64_t number, const HistoryEntry& entry) {
    const bool isDelete = entry.kind == HistoryEntry::Kind::Delete;
    std::string line = std::to_string(number) + '\t' + dateText(entry.date) + ' ' +
                       clockText(entry.clock) + '\t' + printable(entry.host) + '\t' +
                       printable(entry.user) + '\t' + (isDelete ? "delete" : "set") + '\t' +
                       std::to_string(entry.recordNumber) + "\tbefore\t" +
                       dumpLine(entry.recordNumber, decodeRecord(entry.before));
    if (!isDelete) {
        line += "\tafter\t" + dumpLine(entry.recordNumber, decodeRecord(entry.after));
    }
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
