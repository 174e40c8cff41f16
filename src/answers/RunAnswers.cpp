#include "answers/RunAnswers.h"

#include <bit>

namespace gaisan {

RunAnswersCollector::RunAnswersCollector(std::function<void(RunAnswers&&)> onRun)
    : m_onRun(std::move(onRun)) {}

bool RunAnswersCollector::sameRun(const AnswerRecord& a, const AnswerRecord& b) {
    // The date and clock are compared bit for bit, as the run record holds them.
    return std::bit_cast<std::uint64_t>(a.runDate) == std::bit_cast<std::uint64_t>(b.runDate) &&
           std::bit_cast<std::uint64_t>(a.runClock) == std::bit_cast<std::uint64_t>(b.runClock) &&
           a.student == b.student && a.level == b.level && a.answersInRun == b.answersInRun;
}

void RunAnswersCollector::dropOpenRun() {
    m_leftOut += m_open.answers.size();
    m_open.answers.clear();
}

void RunAnswersCollector::add(const std::optional<AnswerRecord>& entry) {
    if (!entry) {
        dropOpenRun();
        ++m_leftOut;
        return;
    }
    const bool continuesOpenRun = !m_open.answers.empty() && sameRun(m_open.front(), *entry) &&
                                  entry->answerNumber == m_open.answers.back().answerNumber + 1;
    if (!continuesOpenRun) {
        dropOpenRun();
        if (entry->answerNumber != 1 || entry->answersInRun < 1) {
            ++m_leftOut;
            return;
        }
    }
    m_open.answers.push_back(*entry);
    if (entry->answerNumber == entry->answersInRun) {
        m_onRun(std::move(m_open));
        m_open = {};
    }
}

void RunAnswersCollector::finish() { dropOpenRun(); }

}  // namespace gaisan
