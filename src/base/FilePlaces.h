#pragma once

#include <filesystem>
#include <string_view>

#include "platform/Calendar.h"
#include "platform/Clock.h"

namespace gaisan {

// The places of the files kept beside the results file and the criteria file, named from those
// files so that gaisan-records, given any results file, finds its company where the program
// puts it.

/// The answers' folders and files: "成績解答データ2026/生徒0012.dat".
inline constexpr std::string_view kAnswersFolderStem = "成績解答データ";
inline constexpr std::string_view kAnswersFileStem = "生徒";
inline constexpr std::string_view kAnswersFileExtension = ".dat";

/// The folder of one school year's answers beside the results file: "成績解答データ2026". Each
/// student has a file of their own in it, so that a student's analysis reads only that student's
/// answers, and a year's only that year's, however large the school and however many years it
/// keeps.
std::filesystem::path answersFolderOf(const std::filesystem::path& resultsFile, int year);

/// One student's answers of one school year: "成績解答データ2026/生徒0012.dat".
std::filesystem::path answersFileOf(const std::filesystem::path& resultsFile, int year,
                                    int student);

/// The copy of a student's answers file taken on `day`, in the results file's backup folder:
/// "成績バックアップ/成績解答データ2026-2026-12-10/生徒0012.dat".
std::filesystem::path answersBackupOf(const std::filesystem::path& resultsFile, int year,
                                      int student, const CivilDate& day);

/// "解答の記録の失敗.txt" beside the results file: one line per run whose answers could not be
/// written, for `gaisan-records check` to report. The run itself was recorded.
std::filesystem::path answersFailureLogOf(const std::filesystem::path& resultsFile);

/// The folder beside the criteria file that holds the files its saves replaced.
std::filesystem::path criteriaCopiesFolderOf(const std::filesystem::path& criteriaFile);

/// The name of the copy made by a save at `madeAt`, the `sequence`-th of that second (from 1):
/// "タイム回数データ-2026-12-10-140512.txt", then "…-140512-2.txt". Names sort by age. The time
/// is in the name rather than taken from the file's time because it is what a technician reads
/// in a listing, and it survives the folder being copied elsewhere, which file times need not.
std::filesystem::path criteriaCopyFileOf(const std::filesystem::path& criteriaFile,
                                         const LocalDateTime& madeAt, int sequence = 1);

/// Where the journal of a delete from `resultsFile` lies: beside it, named with "temp" before the
/// extension ("成績累積データ.dat" has "成績累積データtemp.dat").
std::filesystem::path deleteJournalPathOf(const std::filesystem::path& resultsFile);

/// Where the journal of a put-back into `resultsFile` lies: beside it, named with "戻しtemp"
/// before the extension ("成績累積データ.dat" has "成績累積データ戻しtemp.dat").
std::filesystem::path insertJournalPathOf(const std::filesystem::path& resultsFile);

/// "成績変更履歴.dat" beside the results file.
std::filesystem::path historyFileOf(const std::filesystem::path& resultsFile);

/// "成績変更履歴temp.dat": the entry of a change in progress, written before the change begins
/// and removed once it and its entry are both in place (recoverInterruptedChange).
std::filesystem::path pendingChangeFileOf(const std::filesystem::path& resultsFile);

/// The folder beside the results file that holds its daily copies.
std::filesystem::path backupFolderOf(const std::filesystem::path& resultsFile);

/// The copy of `resultsFile` taken on `day`: "成績累積データ-2026-12-10.dat" in the backup folder.
/// Names sort by date.
std::filesystem::path backupFileOf(const std::filesystem::path& resultsFile, const CivilDate& day);

}  // namespace gaisan
