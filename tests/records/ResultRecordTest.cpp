#include "records/ResultRecord.h"

#include <gtest/gtest.h>

#include <cstring>

#include "support/RecordFiles.h"

namespace gaisan {
namespace {

std::string asText(const RecordBytes& bytes) {
    return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

TEST(ResultRecord, LaysOutFortyFourLittleEndianBytes) {
    ResultRecord record = testing::runRecord(12, 3, 99999, {2026, 12, 10}, 0.75);
    const RecordBytes bytes = encodeRecord(record);
    const std::string text = asText(bytes);

    double date;
    std::memcpy(&date, text.data(), 8);
    EXPECT_EQ(date, 46366.0);
    EXPECT_EQ(text.substr(8, 8), std::string("\x00\x00\x00\x00\x00\x00\xe8\x3f", 8));  // 0.75
    EXPECT_EQ(text.substr(16, 2), std::string("\x0c\x00", 2));
    EXPECT_EQ(text.substr(18, 2), std::string("\x03\x00", 2));
    EXPECT_EQ(text.substr(20, 4), std::string("\x9f\x86\x01\x00", 4));  // 99999
    EXPECT_EQ(text.substr(24, 15), "12345     0    ");
    EXPECT_EQ(text.substr(39, 5), std::string(5, '\0'));
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
