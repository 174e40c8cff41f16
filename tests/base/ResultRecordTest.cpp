#include "base/ResultRecord.h"

#include <gtest/gtest.h>

#include "support/RecordFiles.h"

namespace gaisan {
namespace {

std::string asText(const RecordBytes& bytes) {
    return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

TEST(ResultRecord, LaysOutFortyFourLittleEndianBytes) {
    // Student 12, level 3, a time-up, on 2026-12-10 (day 46366) at 18:00 (0.75 of a day).
    const std::string fixture(
        "\x00\x00\x00\x00\xc0\xa3\xe6\x40"  // date 46366.0
        "\x00\x00\x00\x00\x00\x00\xe8\x3f"  // clock 0.75
        "\x0c\x00"                          // student 12
        "\x03\x00"                          // level 3
        "\x9f\x86\x01\x00"                  // 99999 seconds
        "12345"                             // school code
        "     "                             // extra field
        "0    "                             // points field
        "\x00\x00\x00\x00\x00",             // spare field
        44);
    EXPECT_EQ(asText(encodeRecord(testing::runRecord(12, 3, 99999, {2026, 12, 10}, 0.75))),
              fixture);
    const ResultRecord back = decodeRecord(std::span<const std::byte, ResultRecord::kSize>(
        reinterpret_cast<const std::byte*>(fixture.data()), ResultRecord::kSize));
    EXPECT_EQ(back.RecordDate, 46366.0);
    EXPECT_EQ(back.StudentIndex, 12);
    EXPECT_EQ(back.ResultSeconds, 99999);
}

TEST(ResultRecord, TextFieldsArePaddedOrCutToFiveBytesOnCharacterBoundaries) {
    ResultRecord record = testing::runRecord(1, 1, 60);
    record.SchoolCode = "";
    record.ExtraField = "あいう";  // six bytes in CP932: cut after two characters
    record.PointsField = "123456";
    const std::string text = asText(encodeRecord(record));
    EXPECT_EQ(text.substr(24, 5), "     ");
    EXPECT_EQ(text.substr(29, 5), "\x82\xa0\x82\xa2 ");
    EXPECT_EQ(text.substr(34, 5), "12345");

    const ResultRecord back = decodeRecord(encodeRecord(record));
    EXPECT_EQ(back.ExtraField, "あい ");
    EXPECT_EQ(back.PointsField, "12345");
}

TEST(ResultRecord, DecodesWhatItEncodes) {
    const ResultRecord record = testing::runRecord(5000, 35, 123, {2019, 5, 1}, 0.25);
    const ResultRecord back = decodeRecord(encodeRecord(record));
    EXPECT_EQ(back.RecordDate, record.RecordDate);
    EXPECT_EQ(back.RecordClock, record.RecordClock);
    EXPECT_EQ(back.StudentIndex, 5000);
    EXPECT_EQ(back.LevelIndex, 35);
    EXPECT_EQ(back.ResultSeconds, 123);
    EXPECT_EQ(back.SchoolCode, "12345");
    EXPECT_EQ(back.SpareField, record.SpareField);
}

}  // namespace
}  // namespace gaisan
