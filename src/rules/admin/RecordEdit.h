#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Expected.h"

namespace gaisan {

struct BrowserStudents;

/// What the records browser's edit panel asks to write back.
struct RecordEdit {
    int student = 0;
    std::int32_t seconds = 0;
};

/// The edit the panel's texts ask for, or the failure whose problem is the sentence that tells
/// the teacher why it cannot be written (no file: nothing was read or written). The time must be a
/// whole number of seconds from 0 to 99999 written in digits (a mistyped time would otherwise
/// become 0 seconds, the school's best for ever). The student is the number before the first "/" of
/// the chooser's text, or the whole text when it has no "/" (a number typed by hand), and must be a
/// student of the roster.
Expected<RecordEdit> recordEditOf(std::string_view secondsText, std::string_view chooserText,
                                  const BrowserStudents& students);

/// The student number the chooser's text names (see recordEditOf), or -1 when it names none.
int chosenStudent(std::string_view chooserText);

}  // namespace gaisan
