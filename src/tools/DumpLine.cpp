#include "tools/DumpLine.h"

#include <sstream>

#include "base/DateTexts.h"

namespace gaisan {
namespace {

std::string trimmedRight(std::string text) {
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

}  // namespace

std::string dumpLine(std::uint64_t number, const ResultRecord& record) {
    std::ostringstream line;
    line << number << '\t' << dateText(record.RecordDate) << '\t' << clockText(record.RecordClock)
         << '\t' << record.StudentIndex << '\t' << record.LevelIndex << '\t' << record.ResultSeconds
         << '\t' << trimmedRight(record.SchoolCode) << '\t' << trimmedRight(record.ExtraField)
         << '\t' << trimmedRight(record.PointsField);
    return line.str();
}

}  // namespace gaisan
