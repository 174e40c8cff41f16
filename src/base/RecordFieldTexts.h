#pragma once

#include <string>

namespace gaisan {

/// A record's date (a day serial) as YYYY-MM-DD, or its raw number when it is no day number.
std::string dateText(double serial);

/// A record's clock (a fraction of a day) as HH:MM:SS, or its raw number when it is no time of
/// day.
std::string clockText(double fraction);

}  // namespace gaisan
