#include "rules/drill/AnswerEntry.h"

#include <algorithm>
#include <cstdint>

#include "platform/Numbers.h"

namespace gaisan {
namespace {

constexpr std::size_t kMaxEntryLength = 5;
constexpr int kLowestEntryCode = 42;   // "*"
constexpr int kHighestEntryCode = 57;  // "9"

}  // namespace

int characterCodeOf(char32_t typed) {
    if (typed >= 0xFF01 && typed <= 0xFF5E) return static_cast<int>(typed - 0xFEE0);
    if (typed == 0x3000) return ' ';
    return typed < 128 ? static_cast<int>(typed) : 0;
}

std::string boxValueText(double value) { return std::to_string(static_cast<std::int64_t>(value)); }

AnswerEntry::AnswerEntry(RunState& run, int level, RandomSource& random, CuePlayer& cues,
                         Hooks hooks)
    : m_run(run), m_level(level), m_random(random), m_cues(cues), m_hooks(std::move(hooks)) {}

int AnswerEntry::nextAnswerBox(int box) const {
    do {
        box = box >= kBoxCount ? 1 : box + 1;
    } while (m_problem.GivenBoxes[box]);
    return box;
}

int AnswerEntry::previousAnswerBox(int box) const {
    do {
        box = box <= 1 ? kBoxCount : box - 1;
    } while (m_problem.GivenBoxes[box]);
    return box;
}

void AnswerEntry::recolourBoxes() {
    for (int i = 1; i <= kBoxCount; ++i) {
        m_boxes[i].colour = m_problem.GivenBoxes[i] ? kGivenBoxColour : kEmptyBoxColour;
    }
}

void AnswerEntry::makeCurrent(int box) {
    recolourBoxes();
    m_currentBox = box;
    m_boxes[box].colour = kCurrentBoxColour;
    m_currentEntry = m_boxes[box].text;
}

void AnswerEntry::showEntry() { m_boxes[m_currentBox].text = m_currentEntry; }

bool AnswerEntry::boxIsRight(int box) const {
    return leadingNumber(m_boxes[box].text) == m_problem.AnswerValues[box];
}

std::int64_t AnswerEntry::tick() const {
    return m_hooks.tickMilliseconds ? m_hooks.tickMilliseconds() : 0;
}

void AnswerEntry::keepJudgedAnswer() {
    AnswerRecord answer;
    answer.first = static_cast<std::int32_t>(m_problem.AnswerValues[1]);
    answer.second = static_cast<std::int32_t>(m_problem.AnswerValues[2]);
    answer.place = static_cast<std::int8_t>(m_problem.placeExponent);
    answer.problemType = static_cast<std::int8_t>(m_problem.ProblemType);
    for (int i = kFirstAnswerBox; i <= kBoxCount; ++i) {
        answer.boxes[static_cast<std::size_t>(i - kFirstAnswerBox)] = m_boxes[i].text;
        if (!boxIsRight(i))
            answer.wrongBoxes |= static_cast<std::uint8_t>(1u << (i - kFirstAnswerBox));
    }
    const std::int64_t tenths = (tick() - m_problemShownTick + 50) / 100;
    answer.tenths = static_cast<std::uint16_t>(std::clamp<std::int64_t>(tenths, 0, 0xFFFF));
    m_run.Answers.push_back(std::move(answer));
}

void AnswerEntry::問題作成表示() {
    if (m_run.TimeUp == 1 || m_run.RunFinished == 1 || m_run.Judging == 1) return;
    m_problem = makeProblem(m_level, m_random);
    m_problemShownTick = tick();
    for (int i = 1; i <= kBoxCount; ++i) {
        ProblemBox& box = m_boxes[i];
        box.correctValue = boxValueText(m_problem.AnswerValues[i]);
        box.correctValueShown = false;
        box.text = m_problem.GivenBoxes[i] ? box.correctValue : "";
    }
    m_currentBox = nextAnswerBox(0);
    recolourBoxes();
    m_boxes[m_currentBox].colour = kCurrentBoxColour;
}

void AnswerEntry::Form_KeyPress(int code) {
    if (m_run.TimeUp == 1 || m_run.RunFinished == 1 || m_run.Judging == 1) return;
    if (m_run.WrongAckState >= 1) {
        if (code == kPlusCode && m_run.WrongAckState == 1) {
            m_run.WrongAckState = 2;
        } else if (code == kPlusCode && m_run.WrongAckState == 2) {
            Commandkakunin_Click();
        } else {
            m_run.WrongAckState = 1;
        }
        return;
    }
    if (code == kSpaceCode) {
        if (m_currentBox == kBoxCount) {
            recolourBoxes();
            m_run.Judging = 1;
            判定();
            判定後処理();
            m_run.Judging = 0;
            return;
        }
        // Moving on; the space then counts as a typed key, so a full box warns at once.
        makeCurrent(nextAnswerBox(m_currentBox));
    } else if (code == kBackspaceCode) {
        if (!m_currentEntry.empty()) {
            m_currentEntry.pop_back();
            showEntry();
        }
        return;
    }
    if (m_currentEntry.size() >= kMaxEntryLength) {
        m_cues.PlayWarningSound();
        return;
    }
    if (code >= kLowestEntryCode && code <= kHighestEntryCode && code != kPlusCode) {
        m_currentEntry += static_cast<char>(code);
        showEntry();
    }
}

void AnswerEntry::Form_KeyDown(ArrowKey key) {
    switch (key) {
        case ArrowKey::Left:
            makeCurrent(previousAnswerBox(m_currentBox));
            break;
        case ArrowKey::Up:
            for (int i = 1; i <= kBoxCount; ++i) {
                if (!m_problem.GivenBoxes[i]) m_boxes[i].text.clear();
            }
            makeCurrent(kFirstAnswerBox);
            break;
        case ArrowKey::Right:
            makeCurrent(nextAnswerBox(m_currentBox));
            break;
        case ArrowKey::Down:
            m_boxes[m_currentBox].text.clear();
            m_currentEntry.clear();
            break;
    }
}

void AnswerEntry::判定() {
    if (m_run.TimeUp == 1 || m_run.RunFinished == 1) {
        m_run.Judging = 0;
        return;
    }
    keepJudgedAnswer();
    m_run.JudgeResult = m_run.Answers.back().isRight() ? 1 : 2;
}

void AnswerEntry::判定後処理() {
    if (m_run.TimeUp == 1 || m_run.RunFinished == 1) return;
    if (m_run.JudgeResult == 1) {
        m_run.JudgeResult = 0;
        m_cues.PlayCorrectCue();
        ++m_run.CorrectCount;
        if (m_run.CorrectCount < m_run.ProblemsPerRun) {
            m_run.Judging = 0;
            m_currentEntry.clear();
            問題作成表示();
        } else {
            m_hooks.stopClock();
            m_run.RunFinished = 1;
            m_hooks.endRun();
        }
        return;
    }
    m_run.WrongAckState = 1;
    for (int i = 1; i <= kBoxCount; ++i) {
        if (m_problem.GivenBoxes[i] || boxIsRight(i)) continue;
        m_boxes[i].colour = kWrongBoxColour;
        m_boxes[i].correctValueShown = true;
    }
    m_hooks.yield();
    m_cues.PlayWrongCue();
    m_ackPromptShown = true;
    m_run.CorrectCount = std::max(0, m_run.CorrectCount - 1);
    m_run.Judging = 0;
}

void AnswerEntry::Commandkakunin_Click() {
    m_run.WrongAckState = 0;
    m_currentEntry.clear();
    m_ackPromptShown = false;
    問題作成表示();
    for (int i = 1; i <= kBoxCount; ++i) {
        if (m_problem.GivenBoxes[i]) continue;
        m_boxes[i].colour = kEmptyBoxColour;
        m_boxes[i].text.clear();
    }
    for (ProblemBox& box : m_boxes) box.correctValueShown = false;
    m_currentBox = kFirstAnswerBox;
    m_boxes[m_currentBox].colour = kCurrentBoxColour;
}

}  // namespace gaisan
