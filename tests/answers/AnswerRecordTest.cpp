#include "answers/AnswerRecord.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace gaisan {
namespace {

AnswerRecord sampleAnswer() {
    AnswerRecord answer;
    answer.runDate = 46366;
    answer.runClock = 0.4375;
    answer.student = 7;
    answer.level = 3;
    answer.answerNumber = 2;
    answer.answersInRun = 12;
    answer.first = 8600;
    answer.second = 9099;
    answer.place = 3;
    answer.problemType = 3;
    answer.wrongBoxes = 0b100;
    answer.milliseconds = 6250;
    answer.boxes = {"9000", "9000", "17000"};
    return answer;
}

std::string textAt(const AnswerBytes& bytes, std::size_t offset, std::size_t size) {
    return std::string(reinterpret_cast<const char*>(bytes.data() + offset), size);
}

TEST(AnswerRecord, AnEntryIsReadBackAsItWasWrittenAtItsDocumentedPlaces) {
    const AnswerBytes bytes = encodeAnswer(sampleAnswer());
    EXPECT_EQ(decodeAnswer(bytes), sampleAnswer());

    EXPECT_EQ(textAt(bytes, 0, 4), "GAN1");
    double date = 0;
    std::memcpy(&date, bytes.data() + 4, sizeof date);
    EXPECT_EQ(date, 46366);
    EXPECT_EQ(static_cast<int>(bytes[20]), 7);
    EXPECT_EQ(static_cast<int>(bytes[38]), 0b100);
    EXPECT_EQ(textAt(bytes, 44, 24), "9000    9000    17000   ");
    // The checksum is CRC-32 as zip files have it, so that any tool can check an entry:
    // zlib.crc32 of the first 68 bytes.
    std::uint32_t checksum = 0;
    std::memcpy(&checksum, bytes.data() + 68, sizeof checksum);
    EXPECT_EQ(checksum, 0x695E8BF2u);
}

TEST(AnswerRecord, BytesThatAreNotAWholeEntryAreNeverReadAsOne) {
    const AnswerBytes whole = encodeAnswer(sampleAnswer());
    for (std::size_t at : {0u, 5u, 21u, 44u, 67u, 70u}) {
        AnswerBytes damaged = whole;
        damaged[at] ^= std::byte{0x01};
        EXPECT_FALSE(decodeAnswer(damaged)) << "byte " << at << " changed";
    }
    AnswerBytes torn{};
    std::memcpy(torn.data(), whole.data(), 40);
    EXPECT_FALSE(decodeAnswer(torn)) << "an entry written only to its byte 40";
    AnswerBytes results{};
    results.fill(std::byte{' '});
    EXPECT_FALSE(decodeAnswer(results)) << "bytes of another file";
}

TEST(AnswerRecord, ABoxKeepsOnlyTheDigitsItCouldHaveTaken) {
    AnswerRecord answer = sampleAnswer();
    answer.boxes = {"", "123456789", "12x4"};
    const std::optional<AnswerRecord> read = decodeAnswer(encodeAnswer(answer));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->boxes[0], "");
    EXPECT_EQ(read->boxes[1], "12345678");
    EXPECT_EQ(read->boxes[2], "12");
}

}  // namespace
}  // namespace gaisan
