#include "stores/results/UndoRules.h"

namespace gaisan {

HistoryEntry undoOf(std::uint64_t number, const HistoryEntry& entry) {
    HistoryEntry undo;
    undo.recordNumber = entry.recordNumber;
    undo.undoes = number;
    switch (entry.kind) {
        case HistoryEntry::Kind::Delete:
            undo.kind = HistoryEntry::Kind::PutBack;
            undo.after = entry.before;
            break;
        case HistoryEntry::Kind::PutBack:
            undo.kind = HistoryEntry::Kind::Delete;
            undo.before = entry.after;
            break;
        case HistoryEntry::Kind::WriteBack:
            undo.kind = HistoryEntry::Kind::WriteBack;
            undo.before = entry.after;
            undo.after = entry.before;
            break;
    }
    return undo;
}

std::optional<std::string> undoBlockedBy(std::uint64_t number, const HistoryEntry& entry,
                                         std::uint64_t laterNumber,
                                         const std::optional<HistoryEntry>& later) {
    const std::string since = "その後の変更" + std::to_string(laterNumber);
    if (!later) {
        return since + "が壊れていて読めないため、元に戻してよいか分かりません。";
    }
    if (later->undoes == number) {
        return "この変更は、変更" + std::to_string(laterNumber) + "でもう元に戻してあります。";
    }
    const bool moves = later->kind != HistoryEntry::Kind::WriteBack;
    if (moves && later->recordNumber <= entry.recordNumber) {
        return since + "（" + changeCaption(*later) +
               "）で記録の並びが変わったため、元に戻せません。";
    }
    if (!moves && entry.kind != HistoryEntry::Kind::Delete &&
        later->recordNumber == entry.recordNumber) {
        return since + "（" + changeCaption(*later) + "）で記録が変わったため、元に戻せません。";
    }
    return std::nullopt;
}

std::string changeCaption(const HistoryEntry& entry) {
    const std::string record = "記録" + std::to_string(entry.recordNumber);
    switch (entry.kind) {
        case HistoryEntry::Kind::Delete:
            return record + "の消去";
        case HistoryEntry::Kind::WriteBack:
            return record + "の書き換え";
        case HistoryEntry::Kind::PutBack:
            return record + "の復元";
    }
    return record;
}

}  // namespace gaisan
