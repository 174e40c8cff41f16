#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

namespace gaisan {

/// Slows down the guessing of the classroom code. After a wrong code, the address it came from
/// waits before its next try: a second after the first, twice as long after each further one,
/// at most a minute; the right code forgets the address's mistakes. Across all addresses at most
/// kWrongPerMinute wrong codes are taken a minute, so that many addresses gain nothing either.
/// With a minute between tries, a six-digit code would take years to find.
class CodeAttempts {
public:
    static constexpr std::int64_t kLongestWaitMs = 60'000;
    static constexpr int kWrongPerMinute = 30;
    /// Addresses remembered at once; the oldest are forgotten first.
    static constexpr std::size_t kAddressLimit = 4096;

    /// Milliseconds `address` must still wait at `nowMs` before a try is taken; 0: now.
    std::int64_t waitFor(const std::string& address, std::int64_t nowMs) const;
    void wrong(const std::string& address, std::int64_t nowMs);
    void right(const std::string& address);

private:
    struct Mistakes {
        int count = 0;
        std::int64_t nextTryMs = 0;
    };
    void forgetOldest();

    std::unordered_map<std::string, Mistakes> m_addresses;
    std::int64_t m_minuteStartMs = 0;
    int m_wrongThisMinute = 0;
};

}  // namespace gaisan
