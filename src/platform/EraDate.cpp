#include "platform/EraDate.h"

#include <unicode/calendar.h>
#include <unicode/gregocal.h>
#include <unicode/smpdtfmt.h>
#include <unicode/unistr.h>

#include <memory>
#include <stdexcept>

namespace gaisan {

std::string japaneseEraDate(const CivilDate& date) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Locale japanese("ja_JP@calendar=japanese");
    icu::SimpleDateFormat format(icu::UnicodeString::fromUTF8("GGGGy年 M月 dd日（E）"), japanese,
                                 status);
    // The Gregorian calendar only carries the date to the formatter; the formatter's own
    // Japanese calendar picks the era. Noon keeps the date clear of any time-zone edge.
    icu::GregorianCalendar gregorian(icu::TimeZone::getGMT()->clone(), status);
    if (U_FAILURE(status)) throw std::runtime_error("ICU cannot format Japanese era dates");
    gregorian.set(date.year, date.month - 1, date.day, 12, 0, 0);
    const UDate instant = gregorian.getTime(status);
    format.adoptTimeZone(icu::TimeZone::getGMT()->clone());
    icu::UnicodeString text;
    format.format(instant, text);
    if (U_FAILURE(status)) throw std::runtime_error("ICU cannot format Japanese era dates");
    std::string utf8;
    text.toUTF8String(utf8);
    return utf8;
}

}  // namespace gaisan
