#include "server/CodeAttempts.h"

#include <algorithm>

namespace gaisan {
namespace {

constexpr std::int64_t kFirstWaitMs = 1'000;
constexpr std::int64_t kMinuteMs = 60'000;

}  // namespace

std::int64_t CodeAttempts::waitFor(const std::string& address, std::int64_t nowMs) const {
    std::int64_t wait = 0;
    if (m_wrongThisMinute >= kWrongPerMinute) wait = m_minuteStartMs + kMinuteMs - nowMs;
    if (const auto found = m_addresses.find(address); found != m_addresses.end()) {
        wait = std::max(wait, found->second.nextTryMs - nowMs);
    }
    return std::max<std::int64_t>(wait, 0);
}

void CodeAttempts::wrong(const std::string& address, std::int64_t nowMs) {
    if (nowMs - m_minuteStartMs >= kMinuteMs) {
        m_minuteStartMs = nowMs;
        m_wrongThisMinute = 0;
    }
    ++m_wrongThisMinute;
    if (m_addresses.size() >= kAddressLimit && !m_addresses.contains(address)) forgetOldest();
    Mistakes& mistakes = m_addresses[address];
    mistakes.count = std::min(mistakes.count + 1, 30);
    const std::int64_t wait = std::min(kFirstWaitMs << (mistakes.count - 1), kLongestWaitMs);
    mistakes.nextTryMs = nowMs + wait;
}

void CodeAttempts::right(const std::string& address) { m_addresses.erase(address); }

void CodeAttempts::forgetOldest() {
    // The address whose wait ended longest ago matters least.
    const auto oldest = std::min_element(
        m_addresses.begin(), m_addresses.end(),
        [](const auto& a, const auto& b) { return a.second.nextTryMs < b.second.nextTryMs; });
    m_addresses.erase(oldest);
}

}  // namespace gaisan
