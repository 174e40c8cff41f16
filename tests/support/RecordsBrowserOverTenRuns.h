#pragma once

#include <QListView>

#include <memory>
#include <vector>

#include "support/AdminFlowForTests.h"
#include "support/RecordFiles.h"
#include "windows/admin/FrmData.h"

namespace gaisan::testing {

/// A records browser over ten runs of students 1 to 5 on level 1, times 10, 20, ... 100 seconds,
/// shown at the size the program is laid out for.
inline std::unique_ptr<FrmData> browserOverTenRuns(AdminFlowForTests& flow) {
    std::vector<ResultRecord> runs;
    for (int n = 1; n <= 10; ++n) runs.push_back(runRecord(1 + (n - 1) % 5, 1, 10 * n));
    appendRecords(flow.resultsFile(), runs);
    auto browser = std::make_unique<FrmData>(flow);
    browser->resize(1024, 768);
    browser->Form_Load();
    browser->show();
    return browser;
}

/// The text of line `row` of the browser's list.
inline QString lineOf(QListView* list, int row) {
    return list->model()->index(row, 0).data().toString();
}

/// Opens line `row` of the browser's list as a teacher's double click does.
inline void doubleClick(QListView* list, int row) {
    list->setCurrentIndex(list->model()->index(row, 0));
    emit list->doubleClicked(list->currentIndex());
}

}  // namespace gaisan::testing
