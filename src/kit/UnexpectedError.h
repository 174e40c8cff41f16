#pragma once

#include <QString>

namespace gaisan {

/// The text shown when an error nobody expected ends the program: what happened and, when the
/// error concerns a file, which file. Call it only inside a catch block; it reads the exception
/// being handled.
QString unexpectedErrorText();

}  // namespace gaisan
