#include "rules/exports/ResultsExport.h"

#include <cerrno>
#include <charconv>
#include <fstream>
#include <unordered_map>

#include "base/DateTexts.h"
#include "platform/Calendar.h"
#include "platform/Cp932.h"
#include "platform/SystemErrorText.h"
#include "platform/Utf8.h"
#include "rules/counts/Counts.h"
#include "stores/results/RecordStream.h"
#include "stores/results/ResultsFile.h"
#include "stores/roster/Roster.h"

namespace gaisan {
namespace {

const std::string kHeader =
    "番号,日付,時刻,生徒番号,名前,学年,レベル,レベル名,秒,結果,ポイント,学校コード";

/// Text fields in the file's character set, ready to write. Names, level names, grade labels
/// and school codes repeat from row to row, so each distinct text is converted once.
class FieldTexts {
public:
    explicit FieldTexts(ExportEncoding encoding) : m_encoding(encoding) {}

    const std::string& operator()(std::string_view utf8) {
        const auto known = m_fields.find(utf8);
        if (known != m_fields.end()) return known->second;
        const std::string field = csvField(utf8);
        return m_fields
            .emplace(utf8, m_encoding == ExportEncoding::Cp932 ? encodeCp932(field) : field)
            .first->second;
    }

private:
    /// Looks texts up by view, so that a row builds no string to find its fields.
    struct ViewHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>{}(text);
        }
    };

    ExportEncoding m_encoding;
    std::unordered_map<std::string, std::string, ViewHash, std::equal_to<>> m_fields;
};

void appendNumber(std::string& row, long long value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    row.append(digits, end);
}

/// What the result column says of a run without a time; empty for a run with one.
std::string_view outcomeOf(std::int32_t seconds) {
    if (seconds == kNoTime) return "時間切れ";
    if (seconds == kFailedRunTime) return "失敗";
    return "";
}

}  // namespace

std::string csvField(std::string_view text) {
    // A spreadsheet program runs a cell that begins with one of these as a formula ("=HYPERLINK",
    // a child's "-4*5" shown as -20); a leading apostrophe makes it show the text as it is. A
    // text that begins with an apostrophe gets one more, so that a script reading the file can
    // always take the first apostrophe off.
    const bool startsLikeFormula =
        !text.empty() && std::string_view("=+-@'\t\r").find(text.front()) != std::string_view::npos;
    const std::string guarded = (startsLikeFormula ? "'" : "") + std::string(text);
    if (guarded.find_first_of(",\"\r\n") == std::string::npos) return guarded;
    std::string quoted = "\"";
    for (const char c : guarded) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::string gradeLabelIn(int schoolYear, int student, const RosterTables& roster) {
    if (roster.RosterNames.at(student).empty()) return "";
    return gradeLabelOf(GradeNumber(schoolYear, roster.RosterYear.at(student))).value_or("");
}

Expected<ExportSummary> exportResults(const std::filesystem::path& resultsFile,
                                      const ExportSources& sources, const ExportPeriod& period,
                                      ExportEncoding encoding, std::ostream& out,
                                      const ExportProgress& progress) {
    FieldTexts texts(encoding);
    if (encoding == ExportEncoding::Utf8) out << kSpreadsheetByteOrderMark;
    out << (encoding == ExportEncoding::Cp932 ? encodeCp932(kHeader) : kHeader)
        << kSpreadsheetLineEnd;

    std::error_code sizeUnknown;
    const std::uint64_t total =
        std::filesystem::file_size(resultsFile, sizeUnknown) / ResultRecord::kSize;
    constexpr std::uint64_t kRecordsPerProgress = 16384;
    ExportSummary summary;
    std::string rows;
    int lastDay = -1;
    int schoolYear = 0;
    std::string date;
    const auto writeRow = [&](std::uint64_t number, const ResultRecord& record) {
        if (progress && number % kRecordsPerProgress == 0) progress(number, total);
        if (ResultsFile::displayProblemOf(runFieldsOf(record))) {
            ++summary.passedOver;
            return;
        }
        const int day = static_cast<int>(record.RecordDate);
        if ((period.firstDay && day < *period.firstDay) ||
            (period.lastDay && day > *period.lastDay)) {
            return;
        }
        const int student = record.StudentIndex;
        const int level = record.LevelIndex;
        const std::int32_t seconds = record.ResultSeconds;
        // Runs come in date order, mostly, so the date's texts are worked out once a day.
        if (day != lastDay) {
            lastDay = day;
            date = dateText(day);
            schoolYear = schoolYearOf(dateOfSerial(day), sources.yearChangeMonth);
        }
        appendNumber(rows, static_cast<long long>(number));
        rows += ',';
        rows += date;
        rows += ',';
        rows += clockText(record.RecordClock);
        rows += ',';
        appendNumber(rows, student);
        rows += ',';
        rows += texts(trimSpaces(sources.roster.RosterNames.at(student)));
        rows += ',';
        rows += texts(gradeLabelIn(schoolYear, student, sources.roster));
        rows += ',';
        appendNumber(rows, level);
        rows += ',';
        rows += texts(sources.levelNames.at(level));
        rows += ',';
        const std::string_view outcome = outcomeOf(seconds);
        if (outcome.empty()) appendNumber(rows, seconds);
        rows += ',';
        rows += texts(outcome);
        rows += ',';
        appendNumber(rows, RunPointsRule(seconds, level, sources.criteria));
        rows += ',';
        rows += texts(trimSpaces(record.SchoolCode));
        rows += kSpreadsheetLineEnd;
        ++summary.rows;
        if (rows.size() >= 1 << 16) {
            out << rows;
            rows.clear();
        }
    };
    if (auto read = forEachRecord(resultsFile, writeRow); !read) return Unexpected(read.error());
    out << rows;
    if (progress) progress(total, total);
    return summary;
}

Expected<void> writeSpreadsheetFile(const std::filesystem::path& target,
                                    const std::function<Expected<void>(std::ostream&)>& write) {
    std::filesystem::path partial = target;
    partial += ".part";
    const auto removePartial = [&] {
        std::error_code ignored;
        std::filesystem::remove(partial, ignored);
    };
    const auto failed = [&] {
        const int error = errno;
        removePartial();
        return Unexpected(Failure{target, "書き込めません：" + systemErrorText(error)});
    };
    std::ofstream out(partial, std::ios::binary | std::ios::trunc);
    if (!out) return failed();
    Expected<void> written;
    try {
        written = write(out);
    } catch (...) {
        removePartial();
        throw;
    }
    if (!written) {
        removePartial();
        return written;
    }
    out.close();
    if (!out) return failed();
    std::error_code renameError;
    std::filesystem::rename(partial, target, renameError);
    if (renameError) {
        errno = renameError.value();
        return failed();
    }
    return {};
}

Expected<ExportSummary> exportResultsToFile(const std::filesystem::path& resultsFile,
                                            const ExportSources& sources,
                                            const ExportPeriod& period, ExportEncoding encoding,
                                            const std::filesystem::path& target,
                                            const ExportProgress& progress) {
    ExportSummary summary;
    const Expected<void> written =
        writeSpreadsheetFile(target, [&](std::ostream& out) -> Expected<void> {
            Expected<ExportSummary> exported =
                exportResults(resultsFile, sources, period, encoding, out, progress);
            if (!exported) return Unexpected(exported.error());
            summary = *exported;
            return {};
        });
    if (!written) return Unexpected(written.error());
    return summary;
}

}  // namespace gaisan
