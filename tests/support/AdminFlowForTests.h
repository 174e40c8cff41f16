#pragma once

#include <QString>
#include <QWidget>

#include <filesystem>
#include <memory>

#include "base/AppState.h"
#include "base/CriteriaTable.h"
#include "rules/admin/Installation.h"
#include "support/FakeClock.h"
#include "support/RecordingMessageBoxes.h"
#include "support/TempFolder.h"
#include "windows/admin/AdminFlow.h"

namespace gaisan::testing {

/// The administration screens on their own: a copy of the demo data root, the school's settings
/// as the demo has them, and a way back that only counts.
class AdminFlowForTests final : public AdminFlow {
public:
    AdminFlowForTests() {
        std::filesystem::copy(std::filesystem::path(GAISAN_DEMO_DIR) / "data", folder / "data",
                              std::filesystem::copy_options::recursive);
        m_state->locations.DataRoot = (folder / "data").string() + "/";
        m_state->locations.ProgramDataFolder = (folder / "data/gaisan").string() + "/";
        m_state->common.YearChangeMonth = 4;
        m_state->common.SchoolName = "さくら学習塾";
        m_state->common.SchoolCode = "12345";
        m_state->profile.LevelCount = 4;
        LoadCriteriaTable(criteriaFile(), m_state->criteria, 4).value();
    }

    AppState& state() { return *m_state; }
    Installation& installation() override { return m_installation; }
    const Clock& clock() const override { return m_clock; }
    MessageBoxes& boxes() override { return messageBoxes; }
    void waitResponsively(int) override {}
    void backToMenu() override { ++menusShown; }
    void advanceClock(double seconds) { m_clock.advanceSeconds(seconds); }

    std::filesystem::path resultsFile() const { return folder / "data/gaisan/成績累積データ.dat"; }
    std::filesystem::path criteriaFile() const {
        return folder / "data/gaisan/タイム回数データ.txt";
    }

    TempFolder folder;
    RecordingMessageBoxes messageBoxes;
    int menusShown = 0;

private:
    std::unique_ptr<AppState> m_state = std::make_unique<AppState>();
    FakeClock m_clock{{2026, 12, 10}, 10 * 3600.0};
    Installation m_installation{*m_state, m_clock};
};

/// The control `name` of `window`; the test stops at once when there is none.
template <typename Widget>
Widget* child(QWidget* window, const QString& name) {
    Widget* found = window->findChild<Widget*>(name);
    if (!found) qFatal("no control %s", qPrintable(name));
    return found;
}

}  // namespace gaisan::testing
