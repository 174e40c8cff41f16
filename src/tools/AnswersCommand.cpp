#include "tools/Commands.h"

#include <iostream>

#include "platform/PosixRecordFile.h"
#include "rules/exports/AnswersSpreadsheet.h"
#include "tools/CommandSupport.h"

namespace gaisan {

/// Every judged answer of the recorded runs as a spreadsheet file.
int answersCommand(const CommandLine& line) {
    const std::optional<long> student = line.wholeOption("student", 1, kHighestStudent);
    const AnswersExportScope scope{
        student ? std::optional<int>(static_cast<int>(*student)) : std::nullopt,
        periodOption(line)};
    const ExportEncoding encoding = encodingOption(line);

    const std::unique_ptr<AppState> state =
        loadDataFolderState(onlyOperand(line, "DATA_FOLDER"), SystemClock().now().date);
    const std::filesystem::path resultsFile = state->locations.resultsFile();
    PosixRecordFile recordFile;
    AnswersExportSummary summary;
    const auto write = [&](std::ostream& out) -> Expected<void> {
        Expected<AnswersExportSummary> exported =
            exportAnswers(recordFile, resultsFile, state->roster, state->common.YearChangeMonth,
                          scope, encoding, out);
        if (!exported) return Unexpected(exported.error());
        summary = std::move(*exported);
        return {};
    };
    const Expected<void> written = line.option("output")
                                       ? writeSpreadsheetFile(*line.option("output"), write)
                                       : write(std::cout);
    if (!written) throw Unusable(written.error().text());
    for (const std::string& problem : summary.problems) std::cerr << "problem: " << problem << '\n';
    return summary.problems.empty() ? 0 : 1;
}

}  // namespace gaisan
