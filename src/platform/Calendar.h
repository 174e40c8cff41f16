#pragma once

namespace gaisan {

struct CivilDate {
    int year = 0;
    int month = 0;  ///< 1..12
    int day = 0;    ///< 1..31
    friend bool operator==(const CivilDate&, const CivilDate&) = default;
};

/// Days since 1899-12-30, the suite's date serial: 1900-01-01 is 2, 2000-01-01 is 36526.
int daySerial(const CivilDate& date);

/// The civil date of a day serial.
CivilDate dateOfSerial(int serial);

/// 0 for Sunday .. 6 for Saturday.
int weekdayOf(const CivilDate& date);

/// The day serial of the Monday that begins the week of day serial `day`.
int mondayOf(int day);

}  // namespace gaisan
