#pragma once

#include <memory>
#include <string>
#include <vector>

#include "base/AppState.h"
#include "base/ProgramProfile.h"
#include "platform/Failure.h"
#include "platform/PosixRecordFile.h"
#include "rules/admin/Installation.h"
#include "stores/installation/Configuration.h"
#include "stores/results/AnswersFile.h"
#include "support/DemoSuite.h"
#include "support/FakeClock.h"
#include "support/RecordFiles.h"
#include "support/TempFolder.h"
#include "windows/analysis/MistakeAnalysisHost.h"

namespace gaisan::testing {

/// The mistake analysis on its own: a copy of the demo installation with its configuration
/// loaded, answers read as the program reads them, and the way back only written down.
class MistakeAnalysisHostForTests final : public MistakeAnalysisHost {
public:
    MistakeAnalysisHostForTests() {
        copyDemoSuite(suite);
        LoadConfiguration(*m_state, suite / "gaisan").value();
        ApplyProfileLevels(m_state->profile);
    }

    std::filesystem::path resultsFile() const { return suite / "data/gaisan/成績累積データ.dat"; }

    /// Records a run of `student` on `day` with `answers`, as a finished run leaves it: its
    /// record in the results file and its answers in the student's answers file.
    void recordRun(int student, int level, const CivilDate& day, std::vector<AnswerRecord> answers,
                   double clock = 0.5) {
        appendRecords(resultsFile(), {runRecord(student, level, 60, day, clock)});
        const RunAnswers run{
            RunIdentity{static_cast<double>(daySerial(day)), clock,
                        static_cast<std::int16_t>(student), static_cast<std::int16_t>(level)},
            std::move(answers)};
        const auto problems = appendRunAnswers(m_file, resultsFile(), run, m_clock.now().date);
        if (problems.answers) throw std::runtime_error(problems.answers->text());
    }

    AppState& state() { return *m_state; }
    Installation& installation() override { return m_installation; }
    const Clock& clock() const override { return m_clock; }
    Expected<MistakeAnalysis> readMistakeAnalysis(const AnalysisScope& scope) override {
        ++reads;
        return analyseMistakes(m_file, resultsFile(), scope);
    }
    void reportUnusableFile(const Failure& failure) override {
        requests.push_back("unusable: " + failure.file.filename().string());
    }
    void reportPrintFailure() override { requests.push_back("print failed"); }
    void backToMenu() override { requests.push_back("menu"); }

    TempFolder suite;
    /// What the screen asked of its host: "menu", "print failed", "unusable: FILE".
    std::vector<std::string> requests;
    int reads = 0;

private:
    std::unique_ptr<AppState> m_state = std::make_unique<AppState>();
    FakeClock m_clock{{2026, 12, 10}, 10 * 3600.0};
    Installation m_installation{*m_state, m_clock};
    PosixRecordFile m_file;
};

}  // namespace gaisan::testing
