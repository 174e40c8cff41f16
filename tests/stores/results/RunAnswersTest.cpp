#include "stores/results/RunAnswers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace gaisan {
namespace {

AnswerRecord answer(int first, int second, std::array<std::string, 3> boxes,
                    std::uint8_t wrongBoxes = 0) {
    AnswerRecord a;
    a.first = first;
    a.second = second;
    a.place = 3;
    a.problemType = 3;
    a.wrongBoxes = wrongBoxes;
    a.tenths = 62;
    a.boxes = std::move(boxes);
    return a;
}

RunAnswers sampleRun(std::int16_t student = 7, double clock = 0.4375) {
    return {{46366, clock, student, 3},
            {answer(8600, 9099, {"9000", "9000", "18000"}),
             answer(1234, 5678, {"1000", "6000", "1700"}, 0b100)}};
}

std::vector<std::byte> concatenated(const std::vector<std::vector<std::byte>>& blocks) {
    std::vector<std::byte> bytes;
    for (const auto& block : blocks) bytes.insert(bytes.end(), block.begin(), block.end());
    return bytes;
}

TEST(RunAnswers, ABlockHoldsItsRunAtTheDocumentedPlaces) {
    const std::vector<std::byte> block = encodeRunAnswers(sampleRun());
    ASSERT_EQ(block.size(), kRunHeadSize + 2 * kAnswerSlotSize);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(block.data()), 4), "GAR1");
    double date = 0;
    std::memcpy(&date, block.data() + 4, sizeof date);
    EXPECT_EQ(date, 46366);
    EXPECT_EQ(static_cast<int>(block[20]), 7);
    EXPECT_EQ(static_cast<int>(block[24]), 2);
    const std::byte* second = block.data() + kRunHeadSize + kAnswerSlotSize;
    EXPECT_EQ(static_cast<char>(second[0]), 'a');
    EXPECT_EQ(static_cast<int>(second[1]), 3 | 3 << 2 | 0b100 << 4);
    std::uint16_t first = 0;
    std::memcpy(&first, second + 2, sizeof first);
    EXPECT_EQ(first, 1234);
    // "1000": the codes of "1", "0", "0", "0" (7, 6, 6, 6) from the lowest nibble up.
    std::uint64_t boxes = 0;
    std::memcpy(&boxes, second + 8, sizeof boxes);
    EXPECT_EQ(boxes & 0xFFFFF, 0x06667u);
    // The checksum as the README gives it, worked out once by a few lines of Python following
    // that text: a reader in any language can check a block.
    std::uint32_t checksum = 0;
    std::memcpy(&checksum, block.data() + 28, sizeof checksum);
    EXPECT_EQ(checksum, 0x4DE2E5F2u);
    EXPECT_EQ(runAnswersIn(block), std::vector{sampleRun()});
}

TEST(RunAnswers, BoxTextsKeepWhatABoxTakesUpToFiveCharacters) {
    RunAnswers run = sampleRun();
    run.answers[0].boxes = {"", "4,0.-", "123456"};
    run.answers[1].boxes = {"*/9", "１２", "12x4"};
    const std::vector<RunAnswers> read = runAnswersIn(encodeRunAnswers(run));
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].answers[0].boxes, (std::array<std::string, 3>{"", "4,0.-", "12345"}));
    EXPECT_EQ(read[0].answers[1].boxes, (std::array<std::string, 3>{"*/9", "", "124"}));
}

TEST(RunAnswers, OnlyWholeBlocksAreReadAndNothingOfAnotherRunJoinsThem) {
    const std::vector<std::byte> a = encodeRunAnswers(sampleRun(1, 0.1));
    const std::vector<std::byte> b = encodeRunAnswers(sampleRun(2, 0.2));
    std::vector<std::byte> damaged = a;
    damaged[kRunHeadSize + 9] ^= std::byte{0x10};
    const std::vector<std::byte> torn(a.begin(), a.end() - 5);
    const std::vector<std::byte> tornAtASlot(a.begin(), a.end() - kAnswerSlotSize);
    const std::vector<std::byte> zeros(48);
    const struct {
        const char* what;
        std::vector<std::byte> bytes;
        std::vector<int> students;
        std::uint64_t leftOut;
    } cases[] = {
        {"two whole runs", concatenated({a, b}), {1, 2}, 0},
        {"the last run cut short by a crash", concatenated({a, torn}), {1}, torn.size()},
        {"a run cut short at a slot, then the next run after it",
         concatenated({tornAtASlot, b}),
         {2},
         tornAtASlot.size()},
        {"a damaged answer drops its run, not the next", concatenated({damaged, b}), {2}, a.size()},
        {"zeros a crash left before a run", concatenated({zeros, b}), {2}, zeros.size()},
        {"a run written twice is read twice", concatenated({a, a}), {1, 1}, 0},
        {"nothing", {}, {}, 0},
    };
    for (const auto& c : cases) {
        std::vector<int> students;
        RunAnswersScanner scanner(
            [&](const RunBlock& run) { students.push_back(run.run().student); });
        static_cast<void>(scanner.scan(c.bytes, true));
        EXPECT_EQ(students, c.students) << c.what;
        EXPECT_EQ(scanner.bytesLeftOut(), c.leftOut) << c.what;
    }
}

TEST(RunAnswers, BytesGivenInPiecesOfAnySizeReadAsTheWhole) {
    const std::vector<std::byte> bytes =
        concatenated({encodeRunAnswers(sampleRun(1, 0.1)), std::vector<std::byte>(16),
                      encodeRunAnswers(sampleRun(2, 0.2)), encodeRunAnswers(sampleRun(3, 0.3))});
    for (std::size_t pieceSize : {1u, 7u, 16u, 33u, 100u}) {
        std::vector<int> students;
        RunAnswersScanner scanner(
            [&](const RunBlock& run) { students.push_back(run.run().student); });
        std::vector<std::byte> pending;
        for (std::size_t at = 0; at < bytes.size(); at += pieceSize) {
            const std::size_t end = std::min(bytes.size(), at + pieceSize);
            pending.insert(pending.end(), bytes.begin() + at, bytes.begin() + end);
            const std::size_t used = scanner.scan(pending, end == bytes.size());
            pending.erase(pending.begin(), pending.begin() + used);
        }
        EXPECT_EQ(students, (std::vector{1, 2, 3})) << "pieces of " << pieceSize;
        EXPECT_EQ(scanner.bytesLeftOut(), 16u) << "pieces of " << pieceSize;
    }
}

}  // namespace
}  // namespace gaisan
