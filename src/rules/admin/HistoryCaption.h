#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "stores/results/ChangeHistory.h"

namespace gaisan {

struct BrowserStudents;

/// The line of entry `number` in the records browser's list of changes to undo: the entry's
/// number, when, what was changed and how, and on which machine by which user, as
/// "変更12　2026/12/10 10:02:05　記録5の消去：佐藤 陽菜 ﾚﾍﾞﾙ3 45秒　（PC-3・sensei）". A
/// write-back shows the student and time before and after ("佐藤 陽菜 45秒 → 田中 一郎 50秒"),
/// an undo ends with the entry it took back ("（変更9を元に戻した）"), and an entry taken back
/// since (`undoneBy`) says so ("（変更14で元に戻し済み）").
std::string historyCaption(std::uint64_t number, const HistoryEntry& entry,
                           const BrowserStudents& students,
                           std::optional<std::uint64_t> undoneBy = std::nullopt);

}  // namespace gaisan
