#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "base/AnswerRecord.h"
#include "rules/analysis/MistakeKinds.h"

namespace gaisan::testing {

/// An answer to first + second at the hundreds, its wrong boxes as the drill judges them.
inline AnswerRecord answerAtHundreds(int first, int second, std::array<std::string, 3> boxes,
                                     int tenths = 50, int type = 2) {
    AnswerRecord record;
    record.first = first;
    record.second = second;
    record.place = 2;
    record.problemType = static_cast<std::int8_t>(type);
    record.tenths = static_cast<std::uint16_t>(tenths);
    record.boxes = boxes;
    const AnswerMistakes kinds =
        mistakesOf(JudgedAnswer{first, second, 2, boxes[0], boxes[1], boxes[2]});
    for (std::size_t box = 0; box < 3; ++box) {
        if (kinds.boxes()[box].kind != MistakeKind::Correct)
            record.wrongBoxes = static_cast<std::uint8_t>(record.wrongBoxes | 1u << box);
    }
    return record;
}

}  // namespace gaisan::testing
