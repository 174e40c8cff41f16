#include "rules/admin/PasscodeTries.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "platform/Calendar.h"
#include "stores/installation/PasscodeTryCount.h"

namespace gaisan {
namespace {

std::string unreadable(const Failure& failure) {
    return "まちがえた回数の記録を読めません：" + failure.text();
}

std::string unwritable(const Failure& failure) {
    return "まちがえた回数を記録できません：" + failure.text();
}

}  // namespace

PasscodeTries::PasscodeTries(const Clock& clock, std::filesystem::path countFile)
    : m_clock(clock), m_file(std::move(countFile)) {}

std::int64_t PasscodeTries::localSeconds() const {
    const LocalDateTime now = m_clock.now();
    return std::int64_t{daySerial(now.date)} * 86'400 +
           static_cast<std::int64_t>(std::floor(now.secondsSinceMidnight));
}

std::string PasscodeTries::refresh() {
    const Expected<PasscodeTryCount> read = readPasscodeTryCount(m_file);
    if (m_countedHereBecause) {
        // Until a count is written again, the file may be behind the count of this program.
        if (!read) m_countedHereBecause = unreadable(read.error());
        return *m_countedHereBecause;
    }
    if (!read) {
        m_countedHereBecause = unreadable(read.error());
        m_wrong = kTries;
        m_waitBegan.reset();
        m_waitEnds = m_clock.tickMilliseconds() + kWaitMilliseconds;
        return *m_countedHereBecause;
    }
    m_wrong = read->wrong;
    if (!read->waitBegan) {
        m_waitBegan.reset();
        m_waitEnds.reset();
        return {};
    }
    if (m_waitBegan == read->waitBegan) return {};  // a wait this program counts already
    m_waitBegan = read->waitBegan;
    const std::int64_t left = std::clamp((*m_waitBegan - localSeconds()) * 1000 + kWaitMilliseconds,
                                         std::int64_t{0}, kWaitMilliseconds);
    m_waitEnds = m_clock.tickMilliseconds() + left;
    return {};
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

std::string PasscodeTries::wrong() {
    std::string problem = refresh();
    if (secondsToWait() > 0) return problem;
    if (m_wrong >= kTries) m_wrong = 0;
    ++m_wrong;
    m_waitBegan.reset();
    m_waitEnds.reset();
    if (m_wrong == kTries) {
        m_waitBegan = localSeconds();
        m_waitEnds = m_clock.tickMilliseconds() + kWaitMilliseconds;
    }
    return save();
}

std::string PasscodeTries::right() {
    m_wrong = 0;
    m_waitBegan.reset();
    m_waitEnds.reset();
    return countedThrough(clearPasscodeTryCount(m_file));
}

std::string PasscodeTries::save() {
    return countedThrough(writePasscodeTryCount(m_file, {m_wrong, m_waitBegan}));
}

std::string PasscodeTries::countedThrough(const Expected<void>& written) {
    // The tries still count for this program's run; the teacher hears why they are not kept
    // for the others.
    if (written) {
        m_countedHereBecause.reset();
        return {};
    }
    m_countedHereBecause = unwritable(written.error());
    return *m_countedHereBecause;
}

}  // namespace gaisan
