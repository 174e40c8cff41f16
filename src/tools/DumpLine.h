#pragma once

#include <cstdint>
#include <string>

#include "base/ResultRecord.h"

namespace gaisan {

/// A record as `gaisan-records dump` prints it, without the line end: its number, date
/// (YYYY-MM-DD), clock (HH:MM:SS), student, level, seconds, school code, extra field and points
/// field, tab-separated, the texts without their padding. `--expect` compares a record with such
/// a line.
std::string dumpLine(std::uint64_t number, const ResultRecord& record);

}  // namespace gaisan
