// Date-time values: days since 1899-12-30 with the time of day as the fraction.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

using DateTime = double;

// 0100-01-01 00:00:00: the earliest value, and what a rejected parse yields.
inline constexpr DateTime MinDateTime = -657434.0;
// 9999-12-31 00:00:00.
inline constexpr DateTime MaxDateTime = 2958465.0;

// Local civil date and time to the whole second, as the system clock reports it.
struct CivilTime {
  int32_t year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// Fields must form a valid date and time (year 100-9999, month 1-12, day within the month,
// hour 0-23, minute and second 0-59).
DateTime MakeDateTime(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute, int32_t second);
// The parsed value, or nothing when the text is rejected.
std::optional<DateTime> TryParseDateTime(std::string_view text);
// The parsed value, or MinDateTime when the text is rejected.
DateTime ParseDateTime(std::string_view text);
DateTime CurrentDateTime(const CivilTime& localNow);
// The hour, minute and second of the value placed on 2000-01-01.
DateTime TimeOfDay(DateTime value);
// Keys rise with time across day 0, where plain values do not; compare them exactly.
double DateTimeOrderKey(DateTime value);
