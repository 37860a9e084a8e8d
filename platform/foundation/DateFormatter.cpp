#include "foundation/DateFormatter.h"

#include <unicode/datefmt.h>
#include <unicode/locid.h>
#include <unicode/timezone.h>
#include <unicode/unistr.h>

#include <memory>

namespace {

icu::DateFormat::EStyle icuStyle(NSDateFormatterStyle style) {
    switch (style) {
        case NSDateFormatterStyle::NoStyle: return icu::DateFormat::kNone;
        case NSDateFormatterStyle::ShortStyle: return icu::DateFormat::kShort;
        case NSDateFormatterStyle::MediumStyle: return icu::DateFormat::kMedium;
        case NSDateFormatterStyle::LongStyle: return icu::DateFormat::kLong;
        case NSDateFormatterStyle::FullStyle: return icu::DateFormat::kFull;
    }
    return icu::DateFormat::kNone;
}

}  // namespace

std::string NSDateFormatter::stringFromDate(std::chrono::system_clock::time_point date) const {
    if (dateStyle_ == NSDateFormatterStyle::NoStyle && timeStyle_ == NSDateFormatterStyle::NoStyle) return {};
    // A fresh ICU formatter each time, so a change of the default locale or
    // time zone is seen by the next call.
    const icu::Locale locale = locale_.empty() ? icu::Locale::getDefault() : icu::Locale(locale_.c_str());
    std::unique_ptr<icu::DateFormat> format(
        icu::DateFormat::createDateTimeInstance(icuStyle(dateStyle_), icuStyle(timeStyle_), locale));
    if (!format) return {};
    if (!timeZone_.empty()) format->adoptTimeZone(icu::TimeZone::createTimeZone(timeZone_.c_str()));
    const auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(date.time_since_epoch()).count();
    icu::UnicodeString text;
    format->format(static_cast<UDate>(millis), text);
    std::string utf8;
    text.toUTF8String(utf8);
    return utf8;
}
