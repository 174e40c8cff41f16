#include "rules/admin/HistoryCaption.h"

#include "rules/admin/BrowserStudents.h"
#include "rules/admin/RecordLine.h"
#include "stores/results/UndoRules.h"

namespace gaisan {
namespace {

/// "佐藤 陽菜 ﾚﾍﾞﾙ3 45秒": whose run, which level, how long; a student the roster does not
/// know shows as "生徒12".
std::string runText(const RecordBytes& bytes, const BrowserStudents& students, bool withLevel) {
    const ResultRecord record = decodeRecord(bytes);
    std::string name = students.name(record.StudentIndex);
    if (name.empty()) name = "生徒" + std::to_string(record.StudentIndex);
    std::string text = name + " ";
    if (withLevel) text += "ﾚﾍﾞﾙ" + std::to_string(record.LevelIndex) + " ";
    return text + std::to_string(record.ResultSeconds) + "秒";
}

}  // namespace

std::string historyCaption(std::uint64_t number, const HistoryEntry& entry,
                           const BrowserStudents& students, std::optional<std::uint64_t> undoneBy) {
    std::string caption = "変更" + std::to_string(number) + "　" + shortDateText(entry.date) + " " +
                          recordClockText(entry.clock) + "　" + changeCaption(entry) + "：";
    switch (entry.kind) {
        case HistoryEntry::Kind::Delete:
            caption += runText(entry.before, students, true);
            break;
        case HistoryEntry::Kind::PutBack:
            caption += runText(entry.after, students, true);
            break;
        case HistoryEntry::Kind::WriteBack:
            caption += runText(entry.before, students, true) + " → " +
                       runText(entry.after, students, false);
            break;
    }
    caption += "　（" + entry.host + "・" + entry.user + "）";
    if (entry.undoes != 0) caption += "（変更" + std::to_string(entry.undoes) + "を元に戻した）";
    if (undoneBy) caption += "（変更" + std::to_string(*undoneBy) + "で元に戻し済み）";
    return caption;
}

}  // namespace gaisan
