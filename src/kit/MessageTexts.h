#pragma once

#include <QString>

#include <filesystem>
#include <string>
#include <vector>

namespace gaisan {

struct Failure;

/// A message box's title and text.
struct MessageText {
    QString title;
    QString text;
};

/// A configuration file that cannot be used, named with where it is and what is wrong; the
/// program ends after it.
MessageText unusableConfigurationText(const Failure& failure);
/// A data file that cannot be used, named with where it is and what is wrong; the program goes
/// on.
MessageText unusableFileText(const Failure& failure);
/// The roster lines left out of the name list, each with its reason.
MessageText skippedRosterEntriesText(const std::filesystem::path& rosterFile,
                                     const std::vector<std::string>& sentences);
/// The data folder is shared in a way that may lose records.
MessageText sharingWarningText(const std::string& warning);
/// A print that could not start.
MessageText printFailureText();
/// The correct and wrong cues failed four times in a row; the program ends after it.
MessageText soundLostText(const std::string& errorText);
/// A results-file message (a failure the program ends with, or a busy file), under the
/// subject's title, followed by where the file is.
MessageText resultsFileText(const std::string& subjectTitle, const std::string& message,
                            const std::filesystem::path& resultsFile);
/// What keeps the results file from being shared or backed up, for the technician.
MessageText sharedFileProblemsText(const std::vector<std::string>& problems);

}  // namespace gaisan
