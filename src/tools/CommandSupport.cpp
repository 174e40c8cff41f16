#include "tools/CommandSupport.h"

#include <unistd.h>

#include <iostream>

#include "base/ProgramProfile.h"
#include "platform/Calendar.h"
#include "stores/installation/DataFolder.h"

namespace gaisan {

const std::string& onlyOperand(const CommandLine& line, const char* what) {
    if (line.operands.size() != 1) throw UsageError(std::string("expected one ") + what);
    return line.operands.front();
}

LocalDateTime nowOrOption(const CommandLine& line, const char* name) {
    if (const auto text = line.option(name)) return parseDateTime(*text);
    return SystemClock().now();
}

std::optional<int> dayOption(const CommandLine& line, const char* name) {
    const auto text = line.option(name);
    if (!text) return std::nullopt;
    return daySerial(parseDateTime(*text + " 00:00:00").date);
}

ExportPeriod periodOption(const CommandLine& line) {
    return {dayOption(line, "from"), dayOption(line, "to")};
}

ExportEncoding encodingOption(const CommandLine& line) {
    const std::string name = line.option("encoding").value_or("utf-8");
    if (name != "utf-8" && name != "cp932") {
        throw UsageError("--encoding is utf-8 or cp932, not \"" + name + "\"");
    }
    return name == "cp932" ? ExportEncoding::Cp932 : ExportEncoding::Utf8;
}

void reportPartial(const RecordReadEnd& end) {
    if (end.partialBytes == 0) return;
    std::cerr << "partial record of " << end.partialBytes << " bytes after record "
              << end.wholeRecords << " (at byte " << end.wholeRecords * ResultRecord::kSize
              << ")\n";
}

RetryWait sleepingWait() {
    return [said = false](int seconds) mutable {
        if (!said) std::cerr << "the results file is busy; waiting...\n";
        said = true;
        sleep(static_cast<unsigned>(seconds));
    };
}

void reportInterruptedDelete(const InterruptedMove& interrupted, std::ostream& out) {
    if (interrupted.finding != InterruptedMove::Finding::None)
        out << interrupted.sentence() << '\n';
}

std::unique_ptr<AppState> loadDataFolderState(const std::filesystem::path& folder,
                                              const CivilDate& today) {
    auto state = std::make_unique<AppState>();
    state->locations = DataLocations::ofProgramDataFolder(folder);
    if (auto loaded = loadSettingsAndCriteria(*state); !loaded) {
        throw Unusable(loaded.error().text());
    }
    ApplyProfileLevels(state->profile);
    const Expected<std::vector<std::string>> skipped =
        loadSchoolRoster(*state, state->roster, today);
    if (!skipped) throw Unusable(skipped.error().text());
    for (const std::string& sentence : *skipped) {
        std::cerr << state->locations.rosterFile().string() << ": " << sentence << '\n';
    }
    return state;
}

}  // namespace gaisan
