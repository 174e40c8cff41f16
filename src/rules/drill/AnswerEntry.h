#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "base/RunState.h"
#include "base/SeasonColour.h"
#include "base/SoundCues.h"
#include "rules/drill/ProblemGenerator.h"

namespace gaisan {

/// The colours of the problem boxes.
inline constexpr Colour kEmptyBoxColour = 8454016;   ///< light green: an answer box
inline constexpr Colour kGivenBoxColour = 12648447;  ///< light yellow: a given number
inline constexpr Colour kCurrentBoxColour = 49152;   ///< green: the box being typed into
inline constexpr Colour kWrongBoxColour = 8421631;   ///< light red: a wrongly answered box

/// Character codes and keys of the drill.
inline constexpr int kBackspaceCode = 8;
inline constexpr int kSpaceCode = 32;
inline constexpr int kPlusCode = 43;
enum class ArrowKey { Left, Up, Right, Down };

/// A typed character as the drill reads it: digits and signs typed in full width (an input
/// method left on) count as their half-width selves, the ideographic space as a space; 0 for
/// anything else beyond ASCII, which the drill does not take.
int characterCodeOf(char32_t typed);

/// What one problem box shows.
struct ProblemBox {
    std::string text;
    Colour colour = kEmptyBoxColour;
    std::string correctValue;  ///< shown below a wrongly answered box
    bool correctValueShown = false;
};

/// Answer entry and judging for one run: the problems, what each key does to the boxes, the
/// judgement of a submitted answer and the acknowledgement of a wrong one. The window forwards
/// keys and shows the boxes; everything else is decided here.
///
/// The space bar moves to the next answer box and, in the last one, submits. A correct answer
/// counts one up and brings the next problem, or ends the run at the tenth net correct answer.
/// A wrong answer marks the wrong boxes with their correct values, counts one down (never below
/// 0) and waits for "+" pressed twice in a row before a new problem comes.
class AnswerEntry {
public:
    struct Hooks {
        std::function<void()> yield;      ///< show the boxes as they are and let events run
        std::function<void()> stopClock;  ///< the run clock stops before the run ends
        std::function<void()> endRun;     ///< the end-of-run steps, once the last answer is right
        /// The monotonic clock in milliseconds, for the time each answer took; none: 0.
        std::function<std::int64_t()> tickMilliseconds;
    };

    AnswerEntry(RunState& run, int level, RandomSource& random, CuePlayer& cues, Hooks hooks);

    /// A new problem with empty answer boxes, the first answer box current. Does nothing while
    /// the run has timed out or finished, or an answer is being judged.
    void 問題作成表示();

    /// A typed character (a key press with its character code).
    void Form_KeyPress(int code);
    /// An arrow key; arrows work in every state of the run.
    void Form_KeyDown(ArrowKey key);

    /// Judges the three answer boxes by the leading number of their text; sets JudgeResult and
    /// keeps the answer, as judged, in the run's Answers.
    void 判定();
    /// Acts on the judgement: next problem, end of run, or the wrong answer shown.
    void 判定後処理();
    /// The second "+" after a wrong answer: a new problem.
    void Commandkakunin_Click();

    const Problem& problem() const { return m_problem; }
    const ProblemBox& box(int i) const { return m_boxes.at(i); }
    int currentBox() const { return m_currentBox; }
    const std::string& currentEntry() const { return m_currentEntry; }
    /// "＋を２回押しなさい" is shown.
    bool ackPromptShown() const { return m_ackPromptShown; }

private:
    void recolourBoxes();
    void makeCurrent(int box);
    int nextAnswerBox(int box) const;
    int previousAnswerBox(int box) const;
    void showEntry();
    bool boxIsRight(int box) const;
    void keepJudgedAnswer();
    std::int64_t tick() const;

    RunState& m_run;
    int m_level;
    RandomSource& m_random;
    CuePlayer& m_cues;
    Hooks m_hooks;
    Problem m_problem;
    std::array<ProblemBox, kBoxCount + 1> m_boxes{};
    int m_currentBox = 0;
    std::string m_currentEntry;
    bool m_ackPromptShown = false;
    std::int64_t m_problemShownTick = 0;
};

/// A box value as the boxes show it: plain decimal digits.
std::string boxValueText(double value);

}  // namespace gaisan
