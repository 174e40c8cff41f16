#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/FilePlaces.h"
#include "platform/Calendar.h"
#include "platform/RecordFile.h"
#include "stores/results/RunAnswers.h"

namespace gaisan {

/// The year of the answers folder a run's answers go to: the school year from April to March in
/// which the day serial `date` lies.
int answersYearOf(double date);

/// The largest answers file that gets a daily copy (16 MiB): some 30 000 runs, more than any
/// child works in a school year. The copy is taken under the results file's lock, which every
/// machine's next append waits for; a larger file was grown by damage (a crash on a share fills a
/// file with zeros), and a copy of it would hold the lock for as long as the damage is large.
inline constexpr std::uint64_t kLargestCopiedAnswersFile = 16 << 20;

/// What an append of a run's answers left undone, each naming the file; both empty when all was
/// done. Never a failure of the append it comes from: the run is recorded either way.
struct [[nodiscard]] AnswersAppendProblems {
    /// The answers were not written: the run is recorded without them.
    std::optional<Failure> answers;
    /// The answers were written, but the day's copy of the file before them was not taken.
    std::optional<Failure> backup;

    bool operator==(const AnswersAppendProblems&) const = default;
};

/// Appends the block of `run` to its student's answers file. Only for a caller that holds the
/// results file's append lock, so that the lock that orders the runs orders their answers too.
/// The folder and the file are created shared like their folder; the first append of a day to a
/// file first copies it into the day's backup, unless it is larger than kLargestCopiedAnswersFile;
/// the block goes after the last whole slot (a slot a crash cut short is written over), in one
/// write, synced; a full disk cuts the file back to its old length. A file that cannot take the
/// block is neither copied nor written. Nothing is retried or waited for: the run's record is
/// written already and a child is waiting.
AnswersAppendProblems appendRunAnswers(RecordFile& file, const std::filesystem::path& resultsFile,
                                       const RunAnswers& run, const CivilDate& today);

/// Gives the answers of the run `from` to the run `to` that a teacher's change made of it (another
/// student): the block is appended again, as `to`'s, to `to`'s student's file. The old block
/// stays, but no run record names it any more. A run without answers needs nothing. For a caller
/// that holds the results file's append lock, before the change is written: a crash in between
/// leaves a copy that no record names, never a moved run without its answers. `from`'s file is
/// read through under the lock, so one larger than kLargestCopiedAnswersFile is not read: its
/// answers stay where they are.
AnswersAppendProblems copyRunAnswers(RecordFile& file, const std::filesystem::path& resultsFile,
                                     const RunIdentity& from, const RunIdentity& to,
                                     const CivilDate& today);

/// What reading an answers file found besides its runs.
struct AnswersFileRead {
    std::uint64_t bytes = 0;         ///< the file's length
    std::uint64_t runs = 0;          ///< whole blocks read
    std::uint64_t bytesLeftOut = 0;  ///< bytes that are no part of a whole block
};

/// Reads an answers file from start to end in pieces of a bounded size, calling `onRun` for each
/// whole block. A missing file has no runs and is no failure. Something other than a regular file
/// in the file's place (a folder, a pipe, a device or a link to one, a link to nothing) is a
/// failure found without opening it: a pipe would keep its reader waiting for a writer, and a
/// device may never end. A failure part way ends the read, the runs before it handed over.
Expected<AnswersFileRead> readAnswersFile(RecordFile& file, const std::filesystem::path& path,
                                          const std::function<void(const RunBlock&)>& onRun);

/// readAnswersFile for a file already listed by answersFilesOf, whose kind is known: a regular
/// file, or one that went since.
Expected<AnswersFileRead> readListedAnswersFile(RecordFile& file, const std::filesystem::path& path,
                                                const std::function<void(const RunBlock&)>& onRun);

/// Whether the answers of school year `year` can be read, when they are there; a failure names
/// the folder: something other than a folder stands in its place, or this user may not open it
/// (another user made it theirs alone).
Expected<void> answersFolderReadable(const std::filesystem::path& resultsFile, int year);

/// An answers file found beside the results file.
struct AnswersFileName {
    int year = 0;
    int student = 0;
    std::filesystem::path path;
    /// Why it cannot be read, as readAnswersFile would say; nothing for a regular file.
    std::optional<Failure> problem;
};

/// A school year whose answers cannot be read, and why (answersFolderReadable).
struct UnreadableAnswersYear {
    int year = 0;
    Failure problem;
};

/// What the answers folders beside a results file hold.
struct AnswersListing {
    /// The entries named as the program names answers files, by school year and student.
    std::vector<AnswersFileName> files;
    /// The school years whose folders cannot be read, oldest first.
    std::vector<UnreadableAnswersYear> unreadableYears;
    /// Entries that look like answers but are named as the program never names them (a student
    /// past the roster's last, a year not of four digits), and anything else in a year's folder:
    /// passed over, since no answers the program wrote can be in them.
    std::vector<std::filesystem::path> strays;
};
[[nodiscard]] AnswersListing answersFilesOf(const std::filesystem::path& resultsFile);

/// Adds the sentences of `more` that `problems` does not hold yet: listing the answers folders
/// and reading the files meet the same unreadable folder.
void addNewProblems(std::vector<std::string>& problems, const std::vector<std::string>& more);

}  // namespace gaisan
