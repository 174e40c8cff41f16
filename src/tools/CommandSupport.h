#pragma once

#include <filesystem>
#include <iosfwd>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "base/AppState.h"
#include "platform/Clock.h"
#include "rules/exports/ResultsExport.h"
#include "stores/results/FileRetries.h"
#include "stores/results/InterruptedDelete.h"
#include "stores/results/RecordReader.h"
#include "tools/CommandLine.h"

namespace gaisan {

/// A file that cannot be used; reported with exit status 2.
class Unusable : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// The command's one operand, `what` naming it in the usage error when there is not exactly one.
const std::string& onlyOperand(const CommandLine& line, const char* what);

/// The time of option `name`, or now.
LocalDateTime nowOrOption(const CommandLine& line, const char* name);

/// Tells on the error output where a partial record lies, if there is one.
void reportPartial(const RecordReadEnd& end);

/// Waits for a lock held by another machine, saying so once.
RetryWait sleepingWait();

/// The program's state for the installation whose program data folder is `folder`, as a list or
/// an export needs it: the school's settings, the criteria, the level names and the roster for
/// `today`, the roster's lines left out told on the error output. A file that cannot be used ends
/// the command as Unusable, naming it.
std::unique_ptr<AppState> loadDataFolderState(const std::filesystem::path& folder,
                                              const CivilDate& today);

/// Tells what finishing an interrupted delete found and did, if anything.
void reportInterruptedDelete(const InterruptedMove& interrupted, std::ostream& out);

/// The day of option `name` ("YYYY-MM-DD") as a day serial, or nothing when it is not given.
std::optional<int> dayOption(const CommandLine& line, const char* name);

/// The days of "--from" and "--to", both included.
ExportPeriod periodOption(const CommandLine& line);

/// The character set of "--encoding utf-8|cp932", UTF-8 unless given.
ExportEncoding encodingOption(const CommandLine& line);

/// The value of option `name` among `choices`, or `fallback` when it is not given.
template <typename Value>
Value choiceOption(const CommandLine& line, const std::string& name,
                   const std::vector<std::pair<std::string, Value>>& choices, Value fallback) {
    const std::optional<std::string> text = line.option(name);
    if (!text) return fallback;
    std::string names;
    for (const auto& [choice, value] : choices) {
        if (*text == choice) return value;
        names += (names.empty() ? "" : ", ") + choice;
    }
    throw UsageError("--" + name + " must be one of " + names + ", not \"" + *text + "\"");
}

}  // namespace gaisan
