#include "tools/Commands.h"

#include <iostream>

#include "platform/Calendar.h"
#include "records/ResultsExport.h"
#include "tools/CommandSupport.h"

namespace gaisan {

namespace {

/// The day of "--from" or "--to", as a day serial.
std::optional<int> dayOption(const CommandLine& line, const char* name) {
    const auto text = line.option(name);
    if (!text) return std::nullopt;
    return daySerial(parseDateTime(*text + " 00:00:00").date);
}

}  // namespace

int exportCommand(const CommandLine& line) {
    const ExportPeriod period{dayOption(line, "from"), dayOption(line, "to")};
    const std::string encodingName = line.option("encoding").value_or("utf-8");
    if (encodingName != "utf-8" && encodingName != "cp932") {
        throw UsageError("--encoding is utf-8 or cp932, not \"" + encodingName + "\"");
    }
    const ExportEncoding encoding =
        encodingName == "cp932" ? ExportEncoding::Cp932 : ExportEncoding::Utf8;

    const LocalDateTime now = SystemClock().now();
    const std::unique_ptr<AppState> state =
        loadDataFolderState(onlyOperand(line, "DATA_FOLDER"), now.date);
    const ExportSources sources{state->roster, state->profile.LevelNames, state->criteria,
                                state->common.YearChangeMonth};
    const std::filesystem::path resultsFile = state->locations.resultsFile();
    const ExportSummary summary =
        line.option("output")
            ? exportResultsToFile(resultsFile, sources, period, encoding, *line.option("output"))
            : exportResults(resultsFile, sources, period, encoding, std::cout);
    if (summary.passedOver != 0) {
        std::cerr << resultsFile.string() << ": " << summary.passedOver
                  << " records the program cannot show were not exported (gaisan-records check "
                     "names them)\n";
    }
    return 0;
}

}  // namespace gaisan
