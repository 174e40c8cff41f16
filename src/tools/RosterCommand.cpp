#include "tools/Commands.h"

#include <iostream>
#include <memory>

#include "platform/Utf8.h"
#include "stores/installation/Configuration.h"
#include "stores/installation/DataFolder.h"
#include "stores/roster/Roster.h"
#include "tools/CommandSupport.h"

namespace gaisan {

int rosterCommand(const CommandLine& line) {
    auto state = std::make_unique<AppState>();
    state->locations = DataLocations::ofDataRoot(onlyOperand(line, "DATA_ROOT"));
    const LocalDateTime now = nowOrOption(line, "now");
    Expected<CommonConfiguration> common =
        readCommonConfiguration(state->locations.commonSettingsFile());
    if (!common) throw Unusable(common.error().text());
    state->common = std::move(*common);
    int position = 0;
    const Expected<std::vector<std::string>> skipped =
        loadSchoolRoster(*state, state->roster, now.date, [&](const RosterEntry& entry, int grade) {
            std::cout << ++position << '\t' << entry.StudentIndex << '\t' << trimSpaces(entry.Name)
                      << '\t' << entry.RosterYear << '\t' << grade << '\t'
                      << gradeLabelOf(grade).value_or("") << '\t' << GradePrefix(grade) << '\n';
        });
    if (!skipped) throw Unusable(skipped.error().text());
    for (const std::string& sentence : *skipped) {
        std::cerr << state->locations.rosterFile().string() << ": " << sentence << '\n';
    }
    return 0;
}

}  // namespace gaisan
