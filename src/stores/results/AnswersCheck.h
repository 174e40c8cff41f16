#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/RecordFile.h"

namespace gaisan {

/// What `gaisan-records check` says of the answers files beside a results file.
struct AnswersCheck {
    /// One school year's answers folder.
    struct Year {
        int year = 0;
        std::uint64_t files = 0;
        std::uint64_t bytes = 0;
    };
    std::vector<Year> years;  ///< the years with answers files, oldest first
    /// Answers folders and files that cannot be read (to their end), each named: the answers in
    /// them are missing from every analysis until it is put right. Answers folders and files
    /// that not everybody who may write the folder holding them may write (sharingProblemOf):
    /// another user's runs would be recorded without their answers.
    std::vector<std::string> problems;
    /// Answers files with bytes that are no part of a whole run (a write cut short, damage): the
    /// runs around them still count, the answers of those bytes are lost for good. Names among
    /// the answers that the program never gives (AnswersListing::strays), passed over.
    std::vector<std::string> warnings;
    /// The logged failures to write a run's answers, oldest first (the runs were recorded).
    std::vector<std::string> failures;
    /// The logged days' copies of answers files not taken, oldest first (the answers were
    /// written).
    std::vector<std::string> backupFailures;
};

/// Reads every answers file beside `resultsFile` through and the log of failed writes.
[[nodiscard]] AnswersCheck answersCheckOf(RecordFile& file,
                                          const std::filesystem::path& resultsFile);

}  // namespace gaisan
