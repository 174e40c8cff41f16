#include "tools/Commands.h"

#include <iostream>

#include "rules/exports/ResultsExport.h"
#include "tools/CommandSupport.h"

namespace gaisan {

int exportCommand(const CommandLine& line) {
    const ExportPeriod period = periodOption(line);
    const ExportEncoding encoding = encodingOption(line);

    const LocalDateTime now = SystemClock().now();
    const std::unique_ptr<AppState> state =
        loadDataFolderState(onlyOperand(line, "DATA_FOLDER"), now.date);
    const ExportSources sources{state->roster, state->profile.LevelNames, state->criteria,
                                state->common.YearChangeMonth};
    const std::filesystem::path resultsFile = state->locations.resultsFile();
    const Expected<ExportSummary> summary =
        line.option("output")
            ? exportResultsToFile(resultsFile, sources, period, encoding, *line.option("output"))
            : exportResults(resultsFile, sources, period, encoding, std::cout);
    if (!summary) throw Unusable(summary.error().text());
    if (summary->passedOver != 0) {
        std::cerr << resultsFile.string() << ": " << summary->passedOver
                  << " records the program cannot show were not exported (gaisan-records check "
                     "names them)\n";
    }
    return 0;
}

}  // namespace gaisan
