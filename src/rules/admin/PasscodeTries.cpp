#include "rules/admin/PasscodeTries.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "platform/Calendar.h"
#include "stores/installation/PasscodeTryCount.h"

namespace gaisan {
namespace {

std::string unreadable(const std::string& problem) {
    return "まちがえた回数の記録を読めません：" + problem;
}

std::string unwritable(const std::string& problem) {
    return "まちがえた回数を記録できません：" + problem;
}

}  // namespace

PasscodeTries::PasscodeTries(const Clock& clock, std::filesystem::path countFile)
    : m_clock(clock), m_file(std::move(countFile)) {}

std::int64_t PasscodeTries::localSeconds() const {
    const LocalDateTime now = m_clock.now();
    return std::int64_t{daySerial(now.date)} * 86'400 +
           static_cast<std::int64_t>(std::floor(now.secondsSinceMidnight));
}

void PasscodeTries::refresh() {
    const ReadPasscodeTryCount read = readPasscodeTryCount(m_file);
    if (m_countedHere) {
        // Until a count is written again, the file may be behind the count of this program.
        if (!read.problem.empty()) m_problem = unreadable(read.problem);
        return;
    }
    if (!read.problem.empty()) {
        m_problem = unreadable(read.problem);
        m_countedHere = true;
        m_wrong = kTries;
        m_waitBegan.reset();
        m_waitEnds = m_clock.tickMilliseconds() + kWaitMilliseconds;
        return;
    }
    m_problem.clear();
    m_wrong = read.count.wrong;
    if (!read.count.waitBegan) {
        m_waitBegan.reset();
        m_waitEnds.reset();
        return;
    }
    if (m_waitBegan == read.count.waitBegan) return;  // a wait this program counts already
    m_waitBegan = read.count.waitBegan;
    const std::int64_t left = std::clamp((*m_waitBegan - localSeconds()) * 1000 + kWaitMilliseconds,
                                         std::int64_t{0}, kWaitMilliseconds);
    m_waitEnds = m_clock.tickMilliseconds() + left;
}

int PasscodeTries::secondsToWait() const {
    if (!m_waitEnds) return 0;
    const std::int64_t left = *m_waitEnds - m_clock.tickMilliseconds();
    if (left <= 0) return 0;
    return static_cast<int>((left + 999) / 1000);
}

int PasscodeTries::triesLeft() const {
    if (secondsToWait() > 0) return 0;
    // A full count whose wait is over gives three fresh tries.
    return m_wrong >= kTries ? kTries : kTries - m_wrong;
}

void PasscodeTries::wrong() {
    refresh();
    if (secondsToWait() > 0) return;
    if (m_wrong >= kTries) m_wrong = 0;
    ++m_wrong;
    m_waitBegan.reset();
    m_waitEnds.reset();
    if (m_wrong == kTries) {
        m_waitBegan = localSeconds();
        m_waitEnds = m_clock.tickMilliseconds() + kWaitMilliseconds;
    }
    save();
}

void PasscodeTries::right() {
    m_wrong = 0;
    m_waitBegan.reset();
    m_waitEnds.reset();
    const auto failure = clearPasscodeTryCount(m_file);
    m_countedHere = failure.has_value();
    m_problem = failure ? unwritable(*failure) : std::string();
}

void PasscodeTries::save() {
    const auto failure = writePasscodeTryCount(m_file, {m_wrong, m_waitBegan});
    // The tries still count for this program's run; the teacher hears why they are not kept
    // for the others.
    m_countedHere = failure.has_value();
    m_problem = failure ? unwritable(*failure) : std::string();
}

}  // namespace gaisan
