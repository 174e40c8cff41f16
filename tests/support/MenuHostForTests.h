#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/ProgramProfile.h"
#include "platform/Failure.h"
#include "platform/PosixRecordFile.h"
#include "rules/counts/Counts.h"
#include "rules/menu/LevelMenu.h"
#include "rules/menu/NewestRecords.h"
#include "rules/student/StudentSession.h"
#include "stores/installation/Configuration.h"
#include "stores/installation/Passcode.h"
#include "stores/results/ResultsFile.h"
#include "stores/roster/Roster.h"
#include "support/DemoSuite.h"
#include "support/FakeClock.h"
#include "support/RecordingCues.h"
#include "support/RecordingMessageBoxes.h"
#include "support/ScriptedRandom.h"
#include "support/TempFolder.h"
#include "windows/menu/MenuHost.h"
#include "windows/menu/seisekitime1.h"

namespace gaisan::testing {

/// The level menu on its own: a copy of the demo installation with its configuration and roster
/// loaded, the results read as the program reads them, and screen changes that are only
/// written down in `requests`, so that a test opens the menu without the name list and a login.
class MenuHostForTests final : public MenuHost, public StudentResults {
public:
    MenuHostForTests() {
        copyDemoSuite(suite);
        AppState& s = *m_state;
        LoadConfiguration(s, suite / "gaisan").value();
        ApplyProfileLevels(s.profile);
        s.SeasonColour = seasonColourOfMonth(12);
        LoadRoster(s.roster, suite / "data/新名簿.txt", m_clock.now().date,
                   s.common.YearChangeMonth, s.common.RosterOption, {})
            .value();
        m_passcodeTries.emplace(m_clock, s.locations.passcodeTriesFile());
    }

    /// What a new start of the program forgets: the count of wrong passcodes it kept itself,
    /// and that the passcode was given.
    void startProgramAgain() {
        m_passcodeTries.emplace(m_clock, m_state->locations.passcodeTriesFile());
        m_passcodeGiven = false;
    }

    /// Logs in roster student `student` as the name list does.
    void logIn(int student) {
        Login& login = m_state->login;
        login.StudentIndex = student;
        login.StudentName = m_state->roster.RosterNames.at(student);
        login.StudentGradeLabel = m_state->roster.RosterGradeLabels.at(student);
        login.LoginTime = static_cast<std::int32_t>(m_clock.now().secondsSinceMidnight);
    }

    /// A menu for the logged-in student, loaded, shown at the design size and activated.
    std::unique_ptr<seisekitime1> openMenu() {
        auto menu = std::make_unique<seisekitime1>(*this);
        menu->Form_Load();
        menu->resize(DesignCanvas::kDesignWidth, DesignCanvas::kDesignHeight);
        menu->show();
        menu->Form_Activate();
        return menu;
    }

    std::filesystem::path resultsFile() const { return suite / "data/gaisan/成績累積データ.dat"; }

    AppState& state() { return *m_state; }
    LevelMenu& levelMenu() override { return m_levelMenu; }
    const Clock& clock() const override { return m_clock; }
    /// The clock of the counts and of the passcode's wait, for a test to move on.
    FakeClock& fakeClock() { return m_clock; }
    MessageBoxes& boxes() override { return messageBoxes; }

    StudentSession& session() override { return m_session; }
    Expected<void> recount() override { return computeCounts(); }
    Expected<void> recordRun(int) override { return {}; }
    Expected<void> computeCounts() override {
        ResultsFile results(m_file, resultsFile(), m_clock, [](int) {});
        return ended(ComputeCounts(*m_state, results, m_clock.now()));
    }
    Expected<void> readRunList(const RunListQuery& query, const ReadProgress& progress,
                               RunListRows& rows) override {
        return ended(gaisan::readRunList(*m_state, m_file, resultsFile(), query,
                                         {[](const FileError&) {}, progress}, rows));
    }
    Expected<void> readGraphRecords(std::vector<LoadedRecord>& records) override {
        records.clear();
        return ended(
            readNewestRecords(m_file, resultsFile(), LoadedRecords::kLoadWindow, {},
                              [&](const LoadedRecord& record) { records.push_back(record); }));
    }
    void reportUnusableFile(const Failure& failure) override {
        requests.push_back("unusable: " + failure.file.filename().string());
    }
    void reportPrintFailure() override { requests.push_back("print failed"); }

    void reportSharedFileProblemsOnce() override { ++sharedFileProblemAsks; }
    PasscodeTries& passcodeTries() override { return *m_passcodeTries; }
    bool passcodeGiven() const override { return m_passcodeGiven; }
    void notePasscodeGiven() override { m_passcodeGiven = true; }
    void StartRun() override {
        m_passcodeGiven = false;
        requests.push_back("run " + std::to_string(m_state->login.CurrentLevel));
    }
    void showNameSelection() override {
        m_passcodeGiven = false;
        requests.push_back("names");
    }
    void showRecordsBrowser() override { requests.push_back("records browser"); }
    void showCriteriaEditor() override { requests.push_back("criteria editor"); }
    void showMistakeAnalysis() override { requests.push_back("mistake analysis"); }

    TempFolder suite;
    RecordingMessageBoxes messageBoxes;
    /// What the menu asked of its host beyond reading: the screens it asked for ("run 2",
    /// "names", "records browser", "criteria editor", "mistake analysis") and what it reported.
    std::vector<std::string> requests;
    /// How often the menu asked for the shared-file problems to be told.
    int sharedFileProblemAsks = 0;

private:
    /// A failure ends the program, as the screen flow would: noted, and handed on.
    Expected<void> ended(Expected<void> outcome) {
        if (!outcome) requests.push_back("ended: " + outcome.error().problem);
        return outcome;
    }

    std::unique_ptr<AppState> m_state = std::make_unique<AppState>();
    FakeClock m_clock{{2026, 12, 10}, 10 * 3600.0};
    ScriptedRandom m_random{std::vector<double>(10, 0.5)};
    RecordingCues m_cues;
    StudentSession m_session{*m_state, *this, m_clock, m_random, m_cues};
    LevelMenu m_levelMenu{*m_state, m_clock};
    std::optional<PasscodeTries> m_passcodeTries;
    bool m_passcodeGiven = false;
    PosixRecordFile m_file;
};

}  // namespace gaisan::testing
