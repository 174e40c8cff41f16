#pragma once

#include <cstdint>
#include <vector>

#include "base/AnswerRecord.h"

namespace gaisan {

/// The state of the run in progress, written by the drill and read by the finish screen and the
/// record writer. The flags guard against re-entry while a handler waits for pending events.
struct RunState {
    int ProblemsPerRun = 10;  ///< net correct answers a run needs
    /// The monotonic tick when the run started. Elapsed time is measured on it rather than on
    /// the time of day, which restarts at midnight and would give a run that crosses it a
    /// negative time: one that never times out and becomes everyone's unbeatable best.
    std::int64_t RunStartTick = 0;
    std::int32_t ElapsedSeconds = 0;
    std::int32_t TimeLimit = 0;     ///< 5 × the level's minimum-line time, seconds
    std::int32_t CorrectCount = 0;  ///< net correct answers: +1 right, −1 wrong, never below 0
    int JudgeResult = 0;            ///< 1 correct, 2 wrong
    int Judging = 0;
    int WrongAckState = 0;  ///< 0 entry; 1 a wrong answer is shown; 2 its first "+" was pressed
    int RunFinished = 0;
    int EndOfRunStarted = 0;
    int TimeUp = 0;
    std::int32_t RecordedTime = 0;      ///< ElapsedSeconds, or 99999 for a time-up
    std::vector<AnswerRecord> Answers;  ///< every judged answer of the run, in order
};

}  // namespace gaisan
