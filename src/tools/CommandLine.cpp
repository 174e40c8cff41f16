#include "tools/CommandLine.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "platform/Calendar.h"

namespace gaisan {

CommandLine CommandLine::parse(const std::vector<std::string>& arguments,
                               const std::vector<std::string>& known,
                               const std::vector<std::string>& knownFlags) {
    CommandLine line;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (!argument.starts_with("--")) {
            line.operands.push_back(argument);
            continue;
        }
        const std::string name = argument.substr(2);
        if (std::find(knownFlags.begin(), knownFlags.end(), name) != knownFlags.end()) {
            line.flags.insert(name);
            continue;
        }
        if (std::find(known.begin(), known.end(), name) == known.end()) {
            throw UsageError("unknown option " + argument);
        }
        if (i + 1 == arguments.size()) throw UsageError("option " + argument + " needs a value");
        line.options[name] = arguments[++i];
    }
    return line;
}

std::optional<std::string> CommandLine::option(const std::string& name) const {
    const auto found = options.find(name);
    if (found == options.end()) return std::nullopt;
    return found->second;
}

std::optional<long> CommandLine::wholeOption(const std::string& name, long lowest,
                                             long highest) const {
    const std::optional<std::string> text = option(name);
    if (!text) return std::nullopt;
    long value = 0;
    const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), value);
    if (error != std::errc() || end != text->data() + text->size() || value < lowest ||
        value > highest) {
        throw UsageError("--" + name + " must be a whole number from " + std::to_string(lowest) +
                         " to " + std::to_string(highest) + ", not \"" + *text + "\"");
    }
    return value;
}

LocalDateTime parseDateTime(const std::string& text) {
    int year, month, day, hour, minute, second;
    char end;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &year, &month, &day, &hour, &minute,
                    &second, &end) != 6 ||
        year < 1900 || year > 9999 || hour > 23 || minute > 59 || second > 59 || hour < 0 ||
        minute < 0 || second < 0 || month < 1 || month > 12 || day < 1 ||
        dateOfSerial(daySerial({year, month, day})) != CivilDate{year, month, day}) {
        throw UsageError("\"" + text + "\" is not a date and time as YYYY-MM-DD HH:MM:SS");
    }
    return {{year, month, day}, hour * 3600.0 + minute * 60.0 + second};
}

}  // namespace gaisan
