#include "base/AnswerRecord.h"

#include <bit>

namespace gaisan {

bool RunIdentity::operator==(const RunIdentity& other) const {
    return std::bit_cast<std::uint64_t>(date) == std::bit_cast<std::uint64_t>(other.date) &&
           std::bit_cast<std::uint64_t>(clock) == std::bit_cast<std::uint64_t>(other.clock) &&
           student == other.student && level == other.level;
}

}  // namespace gaisan
