#pragma once

#include <string>
#include <vector>

#include "rules/analysis/MistakeAnalysis.h"

namespace gaisan {

/// A summary of answers as `gaisan-records mistakes` prints it for scripts and terminals, one
/// fact a line with its fields separated by tabs, the kinds of mistake named as on the teacher's
/// screen (whose own texts are MistakeScreenTexts):
///
///   runs      RUNS
///   answers   ANSWERS  right  RIGHT  wrong  WRONG  SHARE%
///   weakest   KIND...                               (when any box was wrong; every kind
///                                                     found equally often, a field each)
///   kind      KIND  BOXES  SHARE%                   (of the wrong boxes, each kind found)
///   type      T  ANSWERS  SECONDS                   (seconds per answer, each problem type)
///   week      YYYY-MM-DD  ANSWERS  WRONG  SHARE%    (each week with answers, by its Monday)
///   example   KIND  DATE  CLOCK  FIRST  SECOND  PLACE  BOX1  BOX2  BOX3  KIND1  KIND2  KIND3
///
/// Shares have one decimal; examples are the newest wrong answers of each kind, oldest first.
std::vector<std::string> mistakeCommandLines(const MistakeSummary& summary);

}  // namespace gaisan
