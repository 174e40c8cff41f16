#pragma once

#include <string>

namespace gaisan {

/// This machine's host name; "?" when it has none.
std::string hostName();

/// The system user the program runs as: the login name, or the user number when it has none.
std::string userName();

}  // namespace gaisan
