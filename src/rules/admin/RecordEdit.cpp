#include "rules/admin/RecordEdit.h"

#include <charconv>

#include "base/IndexedTables.h"
#include "platform/Utf8.h"
#include "rules/admin/BrowserStudents.h"

namespace gaisan {
namespace {

/// The value of a text of 1 to `maxDigits` digits and nothing else, or -1.
long digitsValue(std::string_view text, std::size_t maxDigits) {
    if (text.empty() || text.size() > maxDigits) return -1;
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.front() == '-' ||
        text.front() == '+') {
        return -1;
    }
    return value;
}

}  // namespace

int chosenStudent(std::string_view chooserText) {
    const std::string_view number = trimSpaces(chooserText.substr(0, chooserText.find('/')));
    return static_cast<int>(digitsValue(number, 4));
}

Expected<RecordEdit> recordEditOf(std::string_view secondsText, std::string_view chooserText,
                                  const BrowserStudents& students) {
    const auto refused = [](std::string sentence) {
        return Unexpected(Failure{{}, std::move(sentence)});
    };
    // The refusals come in short lines broken between phrases: a message box wraps a long line
    // anywhere, inside a word too.
    const long seconds = digitsValue(trimSpaces(secondsText), 5);
    if (seconds < 0) {
        return refused("タイム「" + std::string(secondsText) +
                       "」は、\n0から99999までの秒数を\n数字で書いてください。");
    }
    const int student = chosenStudent(chooserText);
    if (student < 0) {
        return refused("生徒「" + std::string(chooserText) +
                       "」は、\n一覧から選ぶか、\n生徒番号を数字で書いてください。");
    }
    if (student < 1 || student > kHighestStudent || !students.inRoster.at(student)) {
        return refused("生徒番号 " + std::to_string(student) + " の生徒は名簿にいません。");
    }
    return RecordEdit{student, static_cast<std::int32_t>(seconds)};
}

}  // namespace gaisan
