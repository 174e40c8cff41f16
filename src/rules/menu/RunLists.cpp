#include "rules/menu/RunLists.h"

#include <algorithm>

#include "base/AppState.h"
#include "base/Periods.h"
#include "rules/menu/RowTexts.h"
#include "rules/menu/RunRows.h"

namespace gaisan {
namespace {

constexpr std::uint64_t kTodayWindow = 1000;

const char* failureLabelOf(RunList list) {
    switch (list) {
        case RunList::Today:
            return "Command5";
        case RunList::Period:
            return "Command7";
        case RunList::Personal:
            return "Command16";
    }
    return "";
}

/// Whether a record can be listed at all: a level of the menu and a student other than 0, in a
/// record the program can show (ResultsFile::displayProblemOf, which the export asks too, so
/// that a spreadsheet never lacks a run the lists show).
bool isShowable(const LoadedRecord& run, int levelCount) {
    return run.level >= 1 && run.level <= levelCount && run.student >= 1 &&
           !ResultsFile::displayProblemOf(run);
}

bool belongsTo(const LoadedRecord& run, const RunListQuery& query, int currentStudent) {
    switch (query.list) {
        case RunList::Today:
            return run.date == daySerial(query.today);
        case RunList::Period:
            return inPeriod(run.date, query.today, query.periodDays);
        case RunList::Personal:
            return run.student == currentStudent && inPeriod(run.date, query.today, kPersonalDays);
    }
    return false;
}

/// The student's part of each row (mark, name5, mark), made once per student of a list.
class RowStudents {
public:
    explicit RowStudents(const AppState& state) : m_state(state), m_parts(kStudentSlots) {}

    const std::string& of(int student) {
        std::string& part = m_parts[static_cast<std::size_t>(student)];
        if (part.empty()) {
            const std::string mark = studentMark(m_state, student);
            part = mark + name5(m_state.roster.RosterNames.at(student)) + mark;
        }
        return part;
    }

private:
    const AppState& m_state;
    std::vector<std::string> m_parts;
};

std::string rowOf(const AppState& state, RowStudents& students, const LoadedRecord& run,
                  const RunListQuery& query) {
    if (query.list == RunList::Personal) return personalRunRow(run);
    const std::string& who = students.of(run.student);
    const std::int32_t target = state.criteria.TargetTime.at(run.level);
    if (query.list == RunList::Today) return todayRunRow(run, who, target);
    return periodRunRow(query.view, run, who, target);
}

}  // namespace

Expected<void> readRunList(const AppState& state, RecordFile& file,
                           const std::filesystem::path& path, const RunListQuery& query,
                           const RecordReadEvents& events, RunListRows& rows) {
    const int levelCount = state.profile.LevelCount;
    rows.assign(static_cast<std::size_t>(levelCount) + 1, {});
    const std::uint64_t window =
        query.list == RunList::Today ? kTodayWindow : LoadedRecords::kLoadWindow;
    RowStudents students(state);
    const Expected<void> read =
        readNewestRecords(file, path, window, events, [&](const LoadedRecord& run) {
            if (!isShowable(run, levelCount) || !belongsTo(run, query, state.login.StudentIndex) ||
                !studentInBand(state, run.student, query.band)) {
                return;
            }
            rows[run.level].push_back(rowOf(state, students, run, query));
        });
    if (read) return read;
    const FileError& error = read.error().error;
    return Unexpected(
        Failure{path, failureLabelOf(query.list) + error.description + std::to_string(error.number),
                error});
}

}  // namespace gaisan
