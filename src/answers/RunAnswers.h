#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "answers/AnswerRecord.h"

namespace gaisan {

/// The answers of one recorded run, in the order they were judged.
struct RunAnswers {
    std::vector<AnswerRecord> answers;  ///< never empty; all of the same run

    const AnswerRecord& front() const { return answers.front(); }
};

/// Gathers the entries of an answers file, read in order, into the runs they belong to. A run
/// counts only when its entries 1 to N stand together, in order, each whole and of the same run:
/// a block a crash cut short, a damaged entry, or entries of two runs mixed are left out whole,
/// so that no run ever shows part of its answers or another run's.
class RunAnswersCollector {
public:
    explicit RunAnswersCollector(std::function<void(RunAnswers&&)> onRun);

    /// The next entry of the file; nothing for 72 bytes that are not an entry.
    void add(const std::optional<AnswerRecord>& entry);
    /// The file has ended: a run still open was cut short.
    void finish();

    /// Entries left out so far, as not whole or not part of a whole run.
    std::uint64_t entriesLeftOut() const { return m_leftOut; }

private:
    void dropOpenRun();
    static bool sameRun(const AnswerRecord& a, const AnswerRecord& b);

    std::function<void(RunAnswers&&)> m_onRun;
    RunAnswers m_open;
    std::uint64_t m_leftOut = 0;
};

}  // namespace gaisan
