#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

#include "platform/Calendar.h"
#include "stores/results/AnswersFile.h"
#include "stores/results/DeleteJournal.h"
#include "stores/results/InterruptedDelete.h"
#include "stores/results/RecordsAdministration.h"
#include "support/AnswersAppendPrinting.h"
#include "support/RecordFiles.h"
#include "support/ResultsFileAdministration.h"

namespace gaisan::testing {

/// A results file of records told apart by their times, the administration's deletes and
/// write-backs of them, and the journal a delete that a crash cut short leaves: the start of the
/// tests of deleting and writing back records and of finishing a delete cut short. The file
/// starts empty; each test writes the records it needs.
class NumberedRecordsAdministration : public ResultsFileAdministration {
public:
    using Finding = InterruptedMove::Finding;

    /// Record n of a test file: told apart by its student and time.
    static ResultRecord numbered(int n) { return runRecord(100 + n, 1 + n % 3, n); }

    static std::vector<ResultRecord> numberedRecords(int from, int to) {
        std::vector<ResultRecord> records;
        for (int n = from; n <= to; ++n) records.push_back(numbered(n));
        return records;
    }

    /// The times of the file's records, which name them.
    static std::vector<int> timesIn(const std::filesystem::path& file) {
        std::vector<int> times;
        for (const ResultRecord& record : recordsIn(file)) times.push_back(record.ResultSeconds);
        return times;
    }

    static std::vector<int> range(int from, int to) {
        std::vector<int> values;
        for (int n = from; n <= to; ++n) values.push_back(n);
        return values;
    }

    NumberedRecordsAdministration() {
        administration.tellInterruptedTo(
            [this](const InterruptedMove& found) { lastFound = found; });
    }

    std::filesystem::path journal() const { return folder / "成績累積データtemp.dat"; }

    RecordCheck chosen(int n) {
        return RecordsAdministration::isExactly(encodeRecord(numbered(n)));
    }

    /// Appends `answer` as the one answer of the run of numbered record `n`, on `today`.
    void appendAnswerOfRun(int n, const AnswerRecord& answer, CivilDate today) {
        const ResultRecord record = numbered(n);
        ASSERT_EQ(appendRunAnswers(file, path(),
                                   {{record.RecordDate, record.RecordClock, record.StudentIndex,
                                     record.LevelIndex},
                                    {answer}},
                                   today),
                  AnswersAppendProblems{});
    }

    /// The journal a delete of record `number` from a file of numbered records 1..`records` writes.
    void writeJournal(int number, int records) {
        DeleteJournal written;
        written.recordNumber = static_cast<std::uint64_t>(number);
        written.recordsBefore = static_cast<std::uint64_t>(records);
        for (int n = number; n <= records; ++n) {
            const RecordBytes bytes = encodeRecord(numbered(n));
            written.oldRecords.insert(written.oldRecords.end(), bytes.begin(), bytes.end());
        }
        const std::vector<std::byte> bytes = written.encode();
        folder.writeBytes(
            journal().filename().string(),
            std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    }

    /// What the last change found of one a crash cut short.
    InterruptedMove lastFound;
};

}  // namespace gaisan::testing
