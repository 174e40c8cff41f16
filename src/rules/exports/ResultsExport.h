#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "base/CriteriaTable.h"
#include "base/IndexedTables.h"
#include "base/RosterTables.h"
#include "platform/Expected.h"

namespace gaisan {

/// The character set of an exported file: UTF-8 with a byte-order mark, which spreadsheets on
/// every platform recognise, or CP932 for older Japanese spreadsheet programs.
enum class ExportEncoding { Utf8, Cp932 };

/// What the rows are made of besides the records: the students' names and roster years, the
/// level names, the criteria that give each run its points, and the month the school year
/// changes, for the grade a student was in on the day of the run.
struct ExportSources {
    const RosterTables& roster;
    const PerLevel<std::string>& levelNames;
    const CriteriaTable& criteria;
    int yearChangeMonth = 4;
};

/// A spreadsheet file's text: the text cell as RFC 4180 writes it, in double quotes with its own
/// quotes doubled when it holds a comma, a double quote or a line break, as it is otherwise, and
/// with an apostrophe put before a text that begins with "=", "+", "-", "@", "'", a tab or a
/// carriage return, so that a spreadsheet shows it as text and never runs it as a formula; the
/// byte-order mark that opens a UTF-8 file; the end of every line.
std::string csvField(std::string_view text);
inline constexpr std::string_view kSpreadsheetByteOrderMark = "\xEF\xBB\xBF";
inline constexpr std::string_view kSpreadsheetLineEnd = "\r\n";

/// A student's grade label in a school year, as a spreadsheet row gives it; empty for a student
/// the roster does not know or a grade without a label.
std::string gradeLabelIn(int schoolYear, int student, const RosterTables& roster);

/// Writes the file `target` through `write`, beside it under a temporary name renamed into place
/// once whole, so that a failure never leaves half a spreadsheet where a whole one was. Fails
/// naming `target` when it cannot be written, or with the failure of `write`, which leaves
/// nothing behind either; an exception from `write` passes through with the temporary file
/// removed.
Expected<void> writeSpreadsheetFile(const std::filesystem::path& target,
                                    const std::function<Expected<void>(std::ostream&)>& write);

/// The runs to export by date, both ends included; an end left out is open.
struct ExportPeriod {
    std::optional<int> firstDay;  ///< day serial
    std::optional<int> lastDay;
};

struct ExportSummary {
    std::uint64_t rows = 0;        ///< runs written, the header not counted
    std::uint64_t passedOver = 0;  ///< records the program cannot show as runs
};

/// Called now and then with the records read so far and the records in the file.
using ExportProgress = std::function<void(std::uint64_t done, std::uint64_t total)>;

/// Writes the runs of the results file in the period as a spreadsheet file to `out`: a header
/// row, then one row per run in file order with its record number, date (YYYY-MM-DD), clock
/// (HH:MM:SS), student number, name, grade label in the school year of the run, level, level
/// name, seconds (empty for a time-up or a failed run, which the next column names), the points
/// as counted (the level's rate applied) and the school code. Fields are quoted as RFC 4180
/// says where they hold a comma, a double quote or a line break; lines end in CR LF. Records the
/// program cannot show as runs (see ResultsFile::displayProblemOf) are left out and counted; a
/// run dated after today is written like any other, since the run lists show it too. Reads the
/// file as forEachRecord does, and fails naming it when it cannot.
Expected<ExportSummary> exportResults(const std::filesystem::path& resultsFile,
                                      const ExportSources& sources, const ExportPeriod& period,
                                      ExportEncoding encoding, std::ostream& out,
                                      const ExportProgress& progress = {});

/// The same into the file `target`, written beside it under a temporary name and renamed into
/// place once whole, so that a failure never leaves half a spreadsheet where a whole one was.
/// Fails naming `target` when it cannot be written, or the results file when it cannot be read.
Expected<ExportSummary> exportResultsToFile(const std::filesystem::path& resultsFile,
                                            const ExportSources& sources,
                                            const ExportPeriod& period, ExportEncoding encoding,
                                            const std::filesystem::path& target,
                                            const ExportProgress& progress = {});

}  // namespace gaisan
