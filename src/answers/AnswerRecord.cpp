#include "answers/AnswerRecord.h"

#include <bit>

namespace gaisan {

bool RunIdentity::operator==(const RunIdentity& other) const {
    return std::bit_cast<std::uint64_t>(date) == std::bit_cast<std::uint64_t>(other.date) &&
           std::bit_cast<std::uint64_t>(clock) == std::bit_cast<std::uint64_t>(other.clock) &&
           student == other.student && level == other.level;
}

std::size_t RunIdentityHash::operator()(const RunIdentity& run) const {
    std::uint64_t h = std::bit_cast<std::uint64_t>(run.date) * 0x9E3779B97F4A7C15u;
    h ^= std::bit_cast<std::uint64_t>(run.clock) + 0x632BE59BD9B4E019u + (h << 6) + (h >> 2);
    h ^= (static_cast<std::uint64_t>(static_cast<std::uint16_t>(run.student)) << 16 |
          static_cast<std::uint16_t>(run.level)) *
         0xBF58476D1CE4E5B9u;
    return static_cast<std::size_t>(h ^ (h >> 29));
}

}  // namespace gaisan
