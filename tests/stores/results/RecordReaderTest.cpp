#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <utility>

#include "stores/results/RecordReader.h"
#include "support/ExpectedAssertions.h"
#include "support/ForwardingRecordFile.h"
#include "support/RecordFiles.h"
#include "support/TempFolder.h"

namespace gaisan {
namespace {

/// Record n of a test file: its time names it.
ResultRecord numbered(int n) { return testing::runRecord(1 + n % 50, 1, n); }

void writeNumbered(const std::filesystem::path& file, int from, int to) {
    std::vector<ResultRecord> records;
    for (int n = from; n <= to; ++n) records.push_back(numbered(n));
    testing::appendRecords(file, records);
}

/// The real file, with what another machine does to it between the reader's reads, or a busy
/// answer to the first few of them.
class MeddledFile final : public testing::ForwardingRecordFile {
public:
    std::function<void()> afterFirstRead;
    int busyReads = 0;

    Expected<std::size_t> readAt(std::uint64_t offset, std::span<std::byte> into) override {
        if (busyReads > 0) {
            --busyReads;
            return testing::failureOf(FileError{FileErrorKind::Locked, 70, 0, "busy"});
        }
        auto bytesRead = m_file.readAt(offset, into);
        if (afterFirstRead) std::exchange(afterFirstRead, nullptr)();
        return bytesRead;
    }
};

class RecordReaderTest : public ::testing::Test {
protected:
    testing::TempFolder folder;
    std::filesystem::path path = folder / "成績累積データ.dat";
    MeddledFile file;

    /// The times of the records read, in the order handed over.
    std::vector<int> read(const RecordReadPolicy& policy, RecordReadEnd* end = nullptr,
                          std::optional<FileError>* error = nullptr) {
        std::vector<int> times;
        auto result = readRecords(
            file, path, policy,
            [&](const RecordBlock& block) {
                for (std::size_t i = 0; i < block.count(); ++i) {
                    times.push_back(decodeRunFields(block.record(i)).seconds);
                }
                return true;
            },
            end);
        if (error)
            *error = result ? std::nullopt : std::optional(result.error().error);
        else
            EXPECT_TRUE(testing::succeeded(result));
        return times;
    }
};

std::vector<int> range(int from, int to) {
    std::vector<int> values;
    for (int n = from; n <= to; ++n) values.push_back(n);
    return values;
}

/// Which records, across the reader's blocks of 4096.
TEST_F(RecordReaderTest, EachSelectionHandsOverItsRecordsInFileOrder) {
    writeNumbered(path, 1, 10000);
    const struct {
        const char* name;
        RecordSelection selection;
        std::vector<int> expected;
    } cases[] = {
        {"all", RecordSelection::all(), range(1, 10000)},
        {"newest 5000", RecordSelection::newest(5000), range(5001, 10000)},
        {"newest, more than there are", RecordSelection::newest(20000), range(1, 10000)},
        {"from 4097", RecordSelection::from(4097), range(4097, 10000)},
        {"from the last", RecordSelection::from(10000), {10000}},
        {"from beyond the end", RecordSelection::from(10001), {}},
    };
    for (const auto& c : cases) {
        RecordReadEnd end;
        EXPECT_EQ(read({c.selection}, &end), c.expected) << c.name;
        EXPECT_EQ(end.wholeRecords, 10000u) << c.name;
        EXPECT_EQ(end.recordsRead, c.expected.size()) << c.name;
    }
}

/// The same length and partial-record rules for every reader: what was there at the start,
/// whole records only, and no further than the file still reaches.
TEST_F(RecordReaderTest, ReadsNoFurtherThanTheStartLengthNorPastACutNorIntoAPartialRecord) {
    writeNumbered(path, 1, 5000);
    {
        std::ofstream(path, std::ios::binary | std::ios::app) << "partial";
        RecordReadEnd end;
        EXPECT_EQ(read({}, &end), range(1, 5000)) << "a partial record after the whole ones";
        EXPECT_EQ(end.partialBytes, 7u);
        EXPECT_EQ(end.bytesSeen, 5000 * ResultRecord::kSize + 7);
        std::filesystem::resize_file(path, 5000 * ResultRecord::kSize);
    }
    {
        file.afterFirstRead = [&] { writeNumbered(path, 5001, 9000); };
        EXPECT_EQ(read({}), range(1, 5000)) << "appended while the read went on";
    }
    {
        file.afterFirstRead = [&] {
            std::filesystem::resize_file(path, 4100 * ResultRecord::kSize + 10);
        };
        RecordReadEnd end;
        EXPECT_EQ(read({}, &end), range(1, 4100)) << "cut back while the read went on";
        EXPECT_EQ(end.wholeRecords, 9000u);
        EXPECT_EQ(end.recordsRead, 4100u);
    }
}

TEST_F(RecordReaderTest, AMissingFileIsEmptyCreatedOrAnErrorAsThePolicySays) {
    RecordReadEnd end;
    EXPECT_EQ(read({RecordSelection::all(), WhenMissing::IsEmpty}), std::vector<int>{});
    EXPECT_FALSE(std::filesystem::exists(path));

    std::optional<FileError> error;
    read({RecordSelection::all(), WhenMissing::IsAnError}, &end, &error);
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->kind, FileErrorKind::NotFound);
    EXPECT_EQ(end.stage, RecordReadEnd::Stage::Opening);
    EXPECT_FALSE(std::filesystem::exists(path));

    EXPECT_EQ(read({RecordSelection::all(), WhenMissing::IsCreated}), std::vector<int>{});
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(std::filesystem::file_size(path), 0u);

    // A folder that is not there cannot be made good by creating the file.
    path = folder / "gone" / "成績累積データ.dat";
    read({RecordSelection::all(), WhenMissing::IsCreated}, &end, &error);
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->kind, FileErrorKind::NotFound);
}

TEST_F(RecordReaderTest, ABusyFileFailsTheReadOrIsWaitedOutAsThePolicySays) {
    writeNumbered(path, 1, 10);
    file.busyReads = 1;
    RecordReadEnd end;
    std::optional<FileError> error;
    read({}, &end, &error);
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->kind, FileErrorKind::Locked);
    EXPECT_EQ(end.stage, RecordReadEnd::Stage::Reading);

    file.busyReads = 3;
    int waits = 0;
    RecordReadPolicy waiting;
    waiting.step = [&](const ReadStepAction& step) {
        for (;;) {
            auto done = step();
            if (done || done.error().error.kind != FileErrorKind::Locked) return done;
            ++waits;
        }
    };
    EXPECT_EQ(read(waiting), range(1, 10));
    EXPECT_EQ(waits, 3);
}

TEST_F(RecordReaderTest, TheHandlerCanStopTheRead) {
    writeNumbered(path, 1, 10000);
    int blocks = 0;
    RecordReadEnd end;
    EXPECT_TRUE(testing::succeeded(readRecords(
        file, path, {}, [&](const RecordBlock&) { return ++blocks < 2; }, &end)));
    EXPECT_EQ(blocks, 2);
    EXPECT_TRUE(end.stopped);
    EXPECT_EQ(end.recordsRead, 8192u);
}

}  // namespace
}  // namespace gaisan
