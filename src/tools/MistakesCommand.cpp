#include "tools/Commands.h"

#include <iostream>

#include "platform/PosixRecordFile.h"
#include "platform/Utf8.h"
#include "rules/analysis/MistakeScreenTexts.h"
#include "rules/exports/AnswersSpreadsheet.h"
#include "rules/exports/MistakeCommandLines.h"
#include "stores/results/AnswersFile.h"
#include "stores/roster/Roster.h"
#include "tools/CommandSupport.h"

namespace gaisan {

namespace {

void printSummary(const std::string& heading, const MistakeSummary& summary) {
    std::cout << heading << '\n';
    for (const std::string& line : mistakeCommandLines(summary)) std::cout << line << '\n';
}

}  // namespace

/// The summary of the mistakes of one student or of a grade band, as the teacher's screen
/// shows it.
int mistakesCommand(const CommandLine& line) {
    const std::optional<long> student = line.wholeOption("student", 1, kHighestStudent);
    std::vector<std::pair<std::string, std::string>> bands;
    for (const std::string& band : gradeBands()) bands.emplace_back(band, band);
    const std::string band = choiceOption<std::string>(line, "band", bands, "全学年");
    const ExportPeriod period = periodOption(line);

    const std::unique_ptr<AppState> state =
        loadDataFolderState(onlyOperand(line, "DATA_FOLDER"), nowOrOption(line, "now").date);
    const RosterTables& roster = state->roster;
    const std::filesystem::path resultsFile = state->locations.resultsFile();
    const auto heading = [&](int s) {
        return "student\t" + std::to_string(s) + '\t' +
               std::string(trimSpaces(roster.RosterNames.at(s))) + '\t' +
               gradeLabelIn(roster.SchoolYear, s, roster);
    };

    const AnswersStudents withAnswers = answersStudentsOf(resultsFile, period);
    AnalysisScope scope{{}, {}, withAnswers.firstDay, withAnswers.lastDay};
    for (const int s : withAnswers.students) {
        // A band holds the students the roster places in it; "全学年" holds everybody. The
        // teacher is left out, as on the teacher's screen, unless asked for by number.
        const std::string& name = roster.RosterNames.at(s);
        const bool inBand =
            (band == "全学年" ||
             (!name.empty() &&
              InGradeBand(GradeNumber(roster.SchoolYear, roster.RosterYear.at(s)), band))) &&
            (student || isAnalysedStudent(name));
        if ((!student || s == *student) && inBand) scope.students.push_back(s);
    }
    MistakeAnalysis analysis;
    PosixRecordFile recordFile;
    if (!scope.students.empty()) {
        Expected<MistakeAnalysis> read = analyseMistakes(recordFile, resultsFile, scope);
        if (!read) throw Unusable(read.error().text());
        analysis = std::move(*read);
    }
    std::vector<std::string> problems = withAnswers.problems;
    addNewProblems(problems, analysis.report.problems);

    if (student) {
        const int s = static_cast<int>(*student);
        const auto found = analysis.students.find(s);
        printSummary(heading(s),
                     found != analysis.students.end() ? found->second : MistakeSummary{});
    } else {
        for (const auto& [s, summary] : analysis.students) {
            printSummary(heading(s), summary);
            std::cout << '\n';
        }
        printSummary("group\t" + band + '\t' + std::to_string(analysis.students.size()),
                     analysis.group);
    }
    for (const std::string& problem : problems) std::cerr << "problem: " << problem << '\n';
    return problems.empty() ? 0 : 1;
}

}  // namespace gaisan
