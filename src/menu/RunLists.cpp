#include "menu/RunLists.h"

#include <algorithm>

#include "app/AppState.h"
#include "menu/Periods.h"
#include "menu/RowTexts.h"
#include "menu/RunRows.h"
#include "platform/ClosesOnExit.h"

namespace gaisan {
namespace {

constexpr std::uint64_t kTodayWindow = 1000;
constexpr std::size_t kRecordsPerRead = 1024;

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

/// The first record a list reads: only the newest records of its window, however long the file.
std::uint64_t firstRecordOf(RunList list, std::uint64_t wholeRecords) {
    const std::uint64_t window = list == RunList::Today ? kTodayWindow : LoadedRecords::kLoadWindow;
    return wholeRecords > window ? wholeRecords - window + 1 : 1;
}

/// Whether a record can be shown at all: a level of the menu, a student of the roster's range,
/// and a date of the years the rows can write.
bool isShowable(const LoadedRecord& run, int levelCount) {
    static const int firstDay = daySerial({1900, 1, 1});
    static const int lastDay = daySerial({9999, 12, 31});
    return run.level >= 1 && run.level <= levelCount && run.student >= 1 &&
           run.student <= kHighestStudent && !ResultsFile::timeProblemOf(run) &&
           run.date >= firstDay && run.date <= lastDay;
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

std::optional<ResultsFileFailure> readRunList(const AppState& state, RecordFile& file,
                                              const std::filesystem::path& path,
                                              const RunListQuery& query,
                                              const RunListEvents& events, RunListRows& rows) {
    const int levelCount = state.profile.LevelCount;
    rows.assign(static_cast<std::size_t>(levelCount) + 1, {});

    ClosesOnExit closes(file);
    // Every step is tried again for as long as another machine holds the file.
    const auto step = [&](const auto& operation) -> std::optional<FileError> {
        for (;;) {
            std::optional<FileError> error = operation();
            if (!error || (error->kind != FileErrorKind::Locked &&
                           error->kind != FileErrorKind::AlreadyOpen)) {
                return error;
            }
            if (events.busy) events.busy(*error);
        }
    };
    const auto failure = [&](const FileError& error) {
        return ResultsFileFailure{failureLabelOf(query.list) + error.description +
                                  std::to_string(error.number)};
    };

    if (auto error = step([&] { return file.open(path); })) return failure(*error);
    std::uint64_t length = 0;
    if (auto error = step([&] { return file.length(length); })) return failure(*error);
    const std::uint64_t wholeRecords = length / ResultRecord::kSize;

    std::vector<std::byte> buffer(kRecordsPerRead * ResultRecord::kSize);
    RowStudents students(state);
    // Reads stop at the length seen at the start, so that a file that never stops growing
    // cannot hold the menu; runs recorded meanwhile show in the next list.
    for (std::uint64_t next = firstRecordOf(query.list, wholeRecords); next <= wholeRecords;) {
        if (events.progress) events.progress(next, wholeRecords);
        const std::size_t wanted = static_cast<std::size_t>(
            std::min<std::uint64_t>(kRecordsPerRead, wholeRecords - next + 1));
        const std::span<std::byte> into(buffer.data(), wanted * ResultRecord::kSize);
        std::size_t bytesRead = 0;
        if (auto error = step(
                [&] { return file.readAt((next - 1) * ResultRecord::kSize, into, bytesRead); })) {
            return failure(*error);
        }
        const std::size_t whole = bytesRead / ResultRecord::kSize;
        // Shorter than it was: cut back by the records browser meanwhile.
        if (whole == 0) break;
        for (std::size_t i = 0; i < whole; ++i, ++next) {
            const LoadedRecord run =
                decodeRunFields(std::span<const std::byte, ResultRecord::kSize>(
                    buffer.data() + i * ResultRecord::kSize, ResultRecord::kSize));
            if (!isShowable(run, levelCount) || !belongsTo(run, query, state.login.StudentIndex) ||
                !studentInBand(state, run.student, query.band)) {
                continue;
            }
            rows[run.level].push_back(rowOf(state, students, run, query));
        }
    }
    return std::nullopt;
}

}  // namespace gaisan
