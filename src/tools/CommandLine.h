#pragma once

#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Clock.h"

namespace gaisan {

/// A command line that cannot be used; the message says why.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// A command's operands, its "--name value" options and its "--name" flags.
struct CommandLine {
    std::vector<std::string> operands;
    std::map<std::string, std::string> options;
    std::set<std::string> flags;

    /// Splits `arguments`, accepting only the options named in `known` and the flags in
    /// `knownFlags`.
    static CommandLine parse(const std::vector<std::string>& arguments,
                             const std::vector<std::string>& known,
                             const std::vector<std::string>& knownFlags = {});

    std::optional<std::string> option(const std::string& name) const;
    bool flag(const std::string& name) const { return flags.contains(name); }
    /// The option as a whole number from `lowest` to `highest`; throws UsageError otherwise.
    std::optional<long> wholeOption(const std::string& name, long lowest, long highest) const;
};

/// "YYYY-MM-DD HH:MM:SS" as a local date and time; throws UsageError for anything else.
LocalDateTime parseDateTime(const std::string& text);

/// A clock that always says the same time, for "--at" and "--now".
class FixedClock final : public Clock {
public:
    explicit FixedClock(LocalDateTime now) : m_now(now) {}
    LocalDateTime now() const override { return m_now; }
    std::int64_t tickMilliseconds() const override { return 0; }

private:
    LocalDateTime m_now;
};

}  // namespace gaisan
