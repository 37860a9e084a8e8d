// Date display text (the platform's NSDateFormatter), on ICU.
//
// A formatter renders an instant with a date style and a time style chosen
// by the caller, in the process's current locale and time zone (ICU's
// defaults, taken from the environment: LANG / LC_ALL and TZ) unless a
// locale identifier ("en_US") or a time-zone name ("UTC") is set. The text
// is for display only: nothing in the system parses it back.
#pragma once

#include <chrono>
#include <string>

enum class NSDateFormatterStyle {
    NoStyle,
    ShortStyle,
    MediumStyle,
    LongStyle,
    FullStyle,
};

class NSDateFormatter {
public:
    void setDateStyle(NSDateFormatterStyle style) { dateStyle_ = style; }
    void setTimeStyle(NSDateFormatterStyle style) { timeStyle_ = style; }
    NSDateFormatterStyle dateStyle() const { return dateStyle_; }
    NSDateFormatterStyle timeStyle() const { return timeStyle_; }
    // Empty: the current one.
    void setLocale(std::string localeIdentifier) { locale_ = std::move(localeIdentifier); }
    void setTimeZone(std::string timeZoneName) { timeZone_ = std::move(timeZoneName); }

    // The UTF-8 text of `date` in the current locale and time zone. Empty
    // when both styles are NoStyle or ICU cannot build a formatter.
    std::string stringFromDate(std::chrono::system_clock::time_point date) const;

private:
    NSDateFormatterStyle dateStyle_ = NSDateFormatterStyle::NoStyle;
    NSDateFormatterStyle timeStyle_ = NSDateFormatterStyle::NoStyle;
    std::string locale_;
    std::string timeZone_;
};
