// Date-time values: calendar arithmetic, the time-text parse, time of day and the order key.
// Literals are GBK bytes in the program (-fexec-charset=GBK): "时" is CA B1.
#include "values/datetime.h"

#include <gtest/gtest.h>

#include <bit>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "values/text.h"
#include "tests/unit/describe.h"

namespace {

using namespace std::string_view_literals;

uint64_t Bits(double value) { return std::bit_cast<uint64_t>(value); }

bool IsLeap(int y) { return y % 4 == 0 && (y % 100 != 0 || y % 400 == 0); }

int MonthLength(int y, int m) {
  static constexpr int kLength[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : kLength[m - 1];
}

// Day count with years that begin on March 1st, so the leap day is the last day of its year and needs no
// correction; valid for years 1 and later.
int64_t DaysSinceMarchEpoch(int y, int m, int d) {
  const int64_t year = m <= 2 ? y - 1 : y;
  const int64_t monthFromMarch = (m + 9) % 12;                       // March 0 ... February 11
  const int64_t dayOfYear = (153 * monthFromMarch + 2) / 5 + d - 1;  // 153 days per five months from March
  return 365 * year + year / 4 - year / 100 + year / 400 + dayOfYear;
}

// An independent reckoning of the day number: days since 1899-12-30.
int64_t CivilDayNumber(int y, int m, int d) {
  return DaysSinceMarchEpoch(y, m, d) - DaysSinceMarchEpoch(1899, 12, 30);
}

constexpr double kSecond = 1.0 / 86400.0;

// ---------------------------------------------------------------------------------------------------------
// MakeDateTime

TEST(MakeDateTimeTest, PinnedValues) {
  struct Case {
    int y, mo, d, h, mi, s;
    double expected;
  };
  static const Case kCases[] = {
      {1899, 12, 30, 0, 0, 0, 0.0},
      {1899, 12, 31, 0, 0, 0, 1.0},
      {1900, 1, 1, 0, 0, 0, 2.0},
      {1900, 3, 1, 0, 0, 0, 61.0},  // 1900 has no February 29th
      {1970, 1, 1, 0, 0, 0, 25569.0},
      {2000, 1, 1, 0, 0, 0, 36526.0},
      {2000, 1, 1, 22, 30, 0, 36526.9375},
      {2000, 1, 1, 6, 0, 0, 36526.25},
      {1899, 12, 30, 12, 0, 0, 0.5},
      {1899, 12, 29, 6, 0, 0, -1.25},  // below day 0 the fraction is subtracted
      {1899, 12, 29, 0, 0, 0, -1.0},
      {1899, 12, 28, 18, 0, 0, -2.75},
      {100, 1, 1, 0, 0, 0, MinDateTime},
      {9999, 12, 31, 0, 0, 0, MaxDateTime},
      {9999, 12, 31, 23, 59, 59, 2958465.0 + 86399 * kSecond},
      {100, 1, 1, 23, 59, 59, -657434.0 - 86399 * kSecond},
  };
  for (size_t i = 0; i < std::size(kCases); ++i) {
    const Case& c = kCases[i];
    const double actual = MakeDateTime(c.y, c.mo, c.d, c.h, c.mi, c.s);
    EXPECT_EQ(Bits(actual), Bits(c.expected))
        << "case " << i << ": expected " << Describe(c.expected) << ", got " << Describe(actual);
  }
}

TEST(MakeDateTimeTest, LeapRulesOf1900And2000And2100) {
  // 1900 and 2100: divisible by 100, not by 400, so common years.
  EXPECT_EQ(MakeDateTime(1900, 3, 1, 0, 0, 0) - MakeDateTime(1900, 2, 28, 0, 0, 0), 1.0);
  EXPECT_EQ(MakeDateTime(2100, 3, 1, 0, 0, 0) - MakeDateTime(2100, 2, 28, 0, 0, 0), 1.0);
  EXPECT_EQ(MakeDateTime(1901, 1, 1, 0, 0, 0) - MakeDateTime(1900, 1, 1, 0, 0, 0), 365.0);
  EXPECT_EQ(MakeDateTime(2101, 1, 1, 0, 0, 0) - MakeDateTime(2100, 1, 1, 0, 0, 0), 365.0);
  // 2000: divisible by 400, a leap year.
  EXPECT_EQ(MakeDateTime(2000, 2, 29, 0, 0, 0) - MakeDateTime(2000, 2, 28, 0, 0, 0), 1.0);
  EXPECT_EQ(MakeDateTime(2000, 3, 1, 0, 0, 0) - MakeDateTime(2000, 2, 29, 0, 0, 0), 1.0);
  EXPECT_EQ(MakeDateTime(2001, 1, 1, 0, 0, 0) - MakeDateTime(2000, 1, 1, 0, 0, 0), 366.0);
  // The January/February correction of a leap year, at both ends of the range.
  EXPECT_EQ(MakeDateTime(104, 3, 1, 0, 0, 0) - MakeDateTime(104, 2, 28, 0, 0, 0), 2.0);
  EXPECT_EQ(MakeDateTime(9996, 3, 1, 0, 0, 0) - MakeDateTime(9996, 2, 28, 0, 0, 0), 2.0);
}

// Every day from 0100-01-01 to 9999-12-31: one day apart from the day before, equal to an independent
// reckoning, order keys rising through the range, and the time of day read back exactly on every date.
// The first and the last day are the exceptions of the clamp: past their midnight they lie beyond
// MinDateTime and MaxDateTime (the fraction is subtracted below day 0), so they read as that midnight.
TEST(MakeDateTimeTest, WalkEveryDayOfTheRange) {
  int64_t expectedDay = -657434;  // 0100-01-01
  int64_t days = 0;
  int mismatches = 0;
  std::string first;
  double previousLastKey = -1e300;
  auto fail = [&](int y, int m, int d, const std::string& what) {
    if (mismatches++ == 0)
      first = std::to_string(y) + "-" + std::to_string(m) + "-" + std::to_string(d) + ": " + what;
  };
  for (int y = 100; y <= 9999; ++y) {
    for (int m = 1; m <= 12; ++m) {
      for (int d = 1; d <= MonthLength(y, m); ++d, ++expectedDay, ++days) {
        const double start = MakeDateTime(y, m, d, 0, 0, 0);
        if (start != static_cast<double>(expectedDay)) fail(y, m, d, "start " + Describe(start));
        if (CivilDayNumber(y, m, d) != expectedDay) fail(y, m, d, "independent day number differs");
        const bool clampedDay = start == MinDateTime || start == MaxDateTime;

        // A second of the day that moves from date to date, so every second is met somewhere in the walk.
        const int s = static_cast<int>(days * 7919 % 86400);
        const double value = MakeDateTime(y, m, d, s / 3600, s / 60 % 60, s % 60);
        const double timeOfDay = TimeOfDay(value);
        const double expectedTime =
            clampedDay ? 36526.0 : MakeDateTime(2000, 1, 1, s / 3600, s / 60 % 60, s % 60);
        if (Bits(timeOfDay) != Bits(expectedTime)) {
          fail(y, m, d, "second " + std::to_string(s) + ": time of day " + Describe(timeOfDay));
        }

        const double firstKey = DateTimeOrderKey(start);
        const double midKey = DateTimeOrderKey(value);
        const double lastKey = DateTimeOrderKey(MakeDateTime(y, m, d, 23, 59, 59));
        const bool ordered = previousLastKey < firstKey &&
                             (clampedDay ? firstKey == start && midKey == start && lastKey == start
                                         : firstKey <= midKey && midKey <= lastKey && firstKey < lastKey &&
                                               lastKey < firstKey + 1);
        if (!ordered) fail(y, m, d, "keys out of order");
        previousLastKey = lastKey;
      }
    }
  }
  EXPECT_EQ(mismatches, 0) << "first: " << first;
  EXPECT_EQ(days, 3615900);
  EXPECT_EQ(expectedDay - 1, 2958465);  // the last day walked is MaxDateTime
}

// ---------------------------------------------------------------------------------------------------------
// ParseDateTime

struct Expected {
  int y, mo, d, h, mi, s;
};
constexpr std::optional<Expected> kRejected = std::nullopt;

// Checks the parse of one text against the expected fields, bit for bit, or against a rejection.
void ExpectParse(size_t index, std::string_view text, const std::optional<Expected>& expected) {
  const std::optional<DateTime> tried = TryParseDateTime(text);
  const DateTime parsed = ParseDateTime(text);
  if (!expected) {
    EXPECT_FALSE(tried.has_value()) << "case " << index << " [" << Hex(text) << "]: accepted as "
                                    << Describe(*tried);
    EXPECT_EQ(Bits(parsed), Bits(MinDateTime))
        << "case " << index << " [" << Hex(text) << "]: " << Describe(parsed);
    return;
  }
  const double want =
      MakeDateTime(expected->y, expected->mo, expected->d, expected->h, expected->mi, expected->s);
  ASSERT_TRUE(tried.has_value()) << "case " << index << " [" << Hex(text) << "]: rejected";
  EXPECT_EQ(Bits(*tried), Bits(want)) << "case " << index << " [" << Hex(text) << "]: expected "
                                      << Describe(want) << ", got " << Describe(*tried);
  EXPECT_EQ(Bits(parsed), Bits(want)) << "case " << index << " [" << Hex(text) << "]";
}

// The texts the schedule check builds: 2000年1月1日, the hour text, 时, the minute text, 分, 0秒.
TEST(ParseDateTimeTest, HourAndMinuteTexts) {
  struct Case {
    std::string_view hour, minute;
    std::optional<Expected> expected;
  };
  static const Case kCases[] = {
      {"22", "30", Expected{2000, 1, 1, 22, 30, 0}},
      {"22", "", Expected{2000, 1, 1, 22, 0, 0}},
      {"", "30", Expected{2000, 1, 1, 0, 30, 0}},
      {"", "", Expected{2000, 1, 1, 0, 0, 0}},
      {{}, {}, Expected{2000, 1, 1, 0, 0, 0}},
      {"23", "59", Expected{2000, 1, 1, 23, 59, 0}},
      {"08", "5", Expected{2000, 1, 1, 8, 5, 0}},
      {"0", "0", Expected{2000, 1, 1, 0, 0, 0}},
      {"２２", "３０", Expected{2000, 1, 1, 22, 30, 0}},
      {"\xA3\xB0\xA3\xB8", "\xA3\xB5", Expected{2000, 1, 1, 8, 5, 0}},  // full-width 08 and 5
      {"24", "30", kRejected},
      {"22", "60", kRejected},
      {"22", "75", kRejected},
      {"-1", "30", kRejected},    // "-" is the hour's separator, 1 the minute, then 时 stands after it
      {"22", "-5", kRejected},    // "-" is the minute's separator, 5 the second, then 分
      {"22.5", "30", kRejected},  // "." ends and separates the hour, 5 the minute, then 时
      {"008", "5", kRejected},    // the hour holds two digits; 8 becomes the minute
      {"22", "100", kRejected},   // the minute holds two digits; the last 0 becomes the second
      {" 22", "30", kRejected},   // 日 was the day's separator, so the space is not skipped
      {"\xA1\xA1"
       "22",
       "30", kRejected},  // an ideographic space folds to a space: the same
      {"22 ", "30", kRejected},
      {"+22", "30", kRejected},
  };
  for (size_t i = 0; i < std::size(kCases); ++i) {
    const Text text = JoinTexts({"2000年1月1日", kCases[i].hour, "时", kCases[i].minute, "分", "0秒"});
    ExpectParse(i, text, kCases[i].expected);
  }
  // The first row, pinned as a number.
  EXPECT_EQ(ParseDateTime("2000年1月1日22时30分0秒"), 36526.9375);
  EXPECT_EQ(ParseDateTime("2000年1月1日时分0秒"), 36526.0);
}

TEST(ParseDateTimeTest, OtherTexts) {
  struct Case {
    std::string_view text;
    std::optional<Expected> expected;
  };
  static const Case kCases[] = {
      {"2000年1月1日22时30分0秒", Expected{2000, 1, 1, 22, 30, 0}},
      {"2000年1月1日22时30分0秒 and anything", Expected{2000, 1, 1, 22, 30, 0}},
      {"2000年1月1日22时30分0秒秒年x", Expected{2000, 1, 1, 22, 30, 0}},
      {"2000年1月1日22时30分15秒", Expected{2000, 1, 1, 22, 30, 15}},
      {"2000年1月1日22时30分59秒", Expected{2000, 1, 1, 22, 30, 59}},
      {"2000年1月1日22时30分60秒", kRejected},
      {"2000年1月1日22时30分000秒", kRejected},  // the third digit stands where the end or 秒 must be
      {"2000年1月1日22时30分", Expected{2000, 1, 1, 22, 30, 0}},
      {"2000年1月1日22:30", Expected{2000, 1, 1, 22, 30, 0}},
      {"2000年1月1日22", Expected{2000, 1, 1, 22, 0, 0}},
      {"2000年1月1日", Expected{2000, 1, 1, 0, 0, 0}},
      {"2000-01-01 22:30:00", Expected{2000, 1, 1, 22, 30, 0}},
      {"2000/1/1 22:30", Expected{2000, 1, 1, 22, 30, 0}},
      {"2000:1:1", Expected{2000, 1, 1, 0, 0, 0}},
      {"2000.1.1.22.30.15", Expected{2000, 1, 1, 22, 30, 15}},
      {"2000年1-1日", Expected{2000, 1, 1, 0, 0, 0}},  // separators need not match their field
      {"2000年1月1日T22时", kRejected},
      {"2000年1月1日22 30", kRejected},  // a space separates only the day from the hour
      {"2000年1月1日22时 30分", kRejected},
      {"2000 1月1日", kRejected},
      {"2000年1 1日", kRejected},
      {"2000年1月1日 22时", kRejected},  // after 日 the space is not skipped as well
      {"2000年1月1日22时30分0", Expected{2000, 1, 1, 22, 30, 0}},
      {"2000年1月1日22时30分0s", kRejected},
      {"2000年1月1日22时30分0秒", Expected{2000, 1, 1, 22, 30, 0}},
      {"2000年2月29日", Expected{2000, 2, 29, 0, 0, 0}},
      {"2004年2月29日", Expected{2004, 2, 29, 0, 0, 0}},
      {"2000年2月30日", kRejected},
      {"1900年2月29日", kRejected},
      {"2100年2月29日", kRejected},
      {"2001年2月29日", kRejected},
      {"2000年4月31日", kRejected},
      {"2000年12月31日", Expected{2000, 12, 31, 0, 0, 0}},
      {"2000年13月1日", kRejected},
      {"2000年0月1日", kRejected},
      {"2000年1月0日", kRejected},
      {"0年1月1日", kRejected},
      {"99年1月1日", kRejected},
      {"2000年1月", kRejected},
      {"2000", kRejected},
      {"100年1月1日", Expected{100, 1, 1, 0, 0, 0}},
      {"0100年01月01日", Expected{100, 1, 1, 0, 0, 0}},
      {"9999年12月31日23时59分59秒", Expected{9999, 12, 31, 23, 59, 59}},
      {"10000年1月1日", kRejected},  // the year holds four digits; 0 becomes the month and 年 follows
      {"20000101", Expected{2000, 1, 1, 0, 0, 0}},  // each field stops at its most digits
      {"20000101223015", Expected{2000, 1, 1, 22, 30, 15}},
      {"2000年1月1日24时", kRejected},
      {"2000年1月1日23时60分", kRejected},
      {"", kRejected},
      {{}, kRejected},
      {" 2000年1月1日", kRejected},
      {"\t2000年1月1日", kRejected},
      {"\xA1\xA1"
       "2000年1月1日",
       kRejected},  // ideographic space
      {"-2000年1月1日", kRejected},
      {"年月日", kRejected},
      {"\xB0", kRejected},  // folds to nothing
      // Full-width forms fold to ASCII: digits, "-", ":", and the ideographic space after the day.
      {"２０００年１月１日２２时３０分", Expected{2000, 1, 1, 22, 30, 0}},
      {"２０００－０１－０１　２２：３０：１５", Expected{2000, 1, 1, 22, 30, 15}},
      {"２０００／１／１", Expected{2000, 1, 1, 0, 0, 0}},
      // A text ends at its first zero byte, and a lone lead byte before that end is dropped.
      {"2000年1月1日22时\0junk"sv, Expected{2000, 1, 1, 22, 0, 0}},
      {"2000年1月1日22\xB7", Expected{2000, 1, 1, 22, 0, 0}},
      {"2000年1月1日22\xB7\0\xD6"sv, Expected{2000, 1, 1, 22, 0, 0}},
      {"2000年1月1日22\xB7\xD6", Expected{2000, 1, 1, 22, 0, 0}},  // an empty minute, then its 分
  };
  for (size_t i = 0; i < std::size(kCases); ++i) ExpectParse(i, kCases[i].text, kCases[i].expected);
}

TEST(ParseDateTimeTest, YearHundredEqualsRejection) {
  const std::optional<DateTime> valid = TryParseDateTime("100年1月1日");
  ASSERT_TRUE(valid.has_value());
  EXPECT_EQ(Bits(*valid), Bits(MinDateTime));
  EXPECT_EQ(Bits(ParseDateTime("100年1月1日")), Bits(ParseDateTime("not a time")));
}

TEST(ParseDateTimeTest, LeavesItsInputUnchanged) {
  const std::string text = "２０００年１月１日２２时";
  const std::string copy = text;
  EXPECT_EQ(ParseDateTime(text), MakeDateTime(2000, 1, 1, 22, 0, 0));
  EXPECT_EQ(text, copy);
}

// ---------------------------------------------------------------------------------------------------------
// TimeOfDay, DateTimeOrderKey, CurrentDateTime

TEST(TimeOfDayTest, EverySecondOfADayOnDatesAcrossTheRange) {
  struct Date {
    int y, m, d;
  };
  static const Date kDates[] = {{2000, 1, 1},   {2024, 6, 15}, {1899, 12, 30}, {1899, 12, 29},
                                {1899, 12, 31}, {100, 1, 2},   {1000, 7, 4},   {9999, 12, 30}};
  for (size_t i = 0; i < std::size(kDates); ++i) {
    const Date& date = kDates[i];
    int mismatches = 0;
    std::string first;
    double previous = -1.0;
    const double day = static_cast<double>(CivilDayNumber(date.y, date.m, date.d));
    for (int s = 0; s < 86400; ++s) {
      const int h = s / 3600, mi = s / 60 % 60, sec = s % 60;
      // The fraction is the seconds times the double nearest to 1/86400, subtracted below day 0.
      const double value = MakeDateTime(date.y, date.m, date.d, h, mi, sec);
      const double expectedValue = day >= 0 ? day + s * kSecond : day - s * kSecond;
      const double onFixedDate = MakeDateTime(2000, 1, 1, h, mi, sec);
      const double timeOfDay = TimeOfDay(value);
      const bool ok = Bits(value) == Bits(expectedValue) && Bits(timeOfDay) == Bits(onFixedDate) &&
                      onFixedDate == 36526.0 + s * kSecond && onFixedDate > previous;
      if (!ok && mismatches++ == 0) first = "second " + std::to_string(s) + ": " + Describe(timeOfDay);
      previous = onFixedDate;
    }
    EXPECT_EQ(mismatches, 0) << "case " << i << " (" << date.y << "-" << date.m << "-" << date.d
                             << "), first: " << first;
  }
}

TEST(TimeOfDayTest, ClampsBeyondTheRange) {
  struct Case {
    double value, timeOfDay, key;
  };
  static const Case kCases[] = {
      {MaxDateTime, 36526.0, MaxDateTime},
      {MaxDateTime + kSecond, 36526.0, MaxDateTime},
      {MakeDateTime(9999, 12, 31, 23, 59, 59), 36526.0, MaxDateTime},
      {MaxDateTime + 1000.5, 36526.0, MaxDateTime},
      {1e300, 36526.0, MaxDateTime},
      {std::numeric_limits<double>::infinity(), 36526.0, MaxDateTime},
      {MinDateTime, 36526.0, MinDateTime},
      {MinDateTime - 0.75, 36526.0, MinDateTime},
      {-1e300, 36526.0, MinDateTime},
      {-std::numeric_limits<double>::infinity(), 36526.0, MinDateTime},
      // Not a number is taken as the earliest value rather than read as a time of day.
      {std::numeric_limits<double>::quiet_NaN(), 36526.0, MinDateTime},
      // Past midnight of 0100-01-01 a value lies below MinDateTime (the fraction is subtracted).
      {MakeDateTime(100, 1, 1, 0, 0, 1), 36526.0, MinDateTime},
      {MakeDateTime(100, 1, 1, 23, 59, 59), 36526.0, MinDateTime},
      // From the next day on the time of day is kept.
      {MakeDateTime(100, 1, 2, 23, 59, 59), MakeDateTime(2000, 1, 1, 23, 59, 59),
       -657433.0 + 86399 * kSecond},
      {MakeDateTime(9999, 12, 30, 23, 59, 59), MakeDateTime(2000, 1, 1, 23, 59, 59),
       MaxDateTime - 1 + 86399 * kSecond},
  };
  for (size_t i = 0; i < std::size(kCases); ++i) {
    const double timeOfDay = TimeOfDay(kCases[i].value);
    const double key = DateTimeOrderKey(kCases[i].value);
    EXPECT_EQ(Bits(timeOfDay), Bits(kCases[i].timeOfDay)) << "case " << i << ": " << Describe(timeOfDay);
    EXPECT_EQ(key, kCases[i].key) << "case " << i << ": " << Describe(key);
  }
}

TEST(DateTimeOrderKeyTest, StraightensValuesBelowDayZero) {
  EXPECT_EQ(DateTimeOrderKey(-1.25), -0.75);  // 1899-12-29 06:00:00
  EXPECT_EQ(DateTimeOrderKey(-1.0), -1.0);
  EXPECT_EQ(DateTimeOrderKey(-2.75), -1.25);
  EXPECT_EQ(DateTimeOrderKey(MinDateTime), MinDateTime);
  EXPECT_EQ(Bits(DateTimeOrderKey(0.0)), Bits(0.0));
  for (double v : {0.5, 1.0, 36526.0, 36526.9375, MaxDateTime})
    EXPECT_EQ(Bits(DateTimeOrderKey(v)), Bits(v)) << v;

  // Across day 0 the keys rise with time, though the values do not.
  const double lastSecondBefore = MakeDateTime(1899, 12, 29, 23, 59, 59);
  const double dayZero = MakeDateTime(1899, 12, 30, 0, 0, 0);
  const double firstSecondAfter = MakeDateTime(1899, 12, 30, 0, 0, 1);
  const double earlierThatDay = MakeDateTime(1899, 12, 29, 0, 0, 1);
  EXPECT_LT(lastSecondBefore, earlierThatDay);  // the plain values run backwards within the day
  EXPECT_LT(DateTimeOrderKey(earlierThatDay), DateTimeOrderKey(lastSecondBefore));
  EXPECT_LT(DateTimeOrderKey(lastSecondBefore), DateTimeOrderKey(dayZero));
  EXPECT_LT(DateTimeOrderKey(dayZero), DateTimeOrderKey(firstSecondAfter));
  // A rejected parse lies before every time of day on 2000-01-01.
  EXPECT_LT(DateTimeOrderKey(ParseDateTime("x")), DateTimeOrderKey(MakeDateTime(2000, 1, 1, 0, 0, 0)));
}

TEST(CurrentDateTimeTest, TimeOfDayMatchesTheParsedText) {
  struct Case {
    CivilTime now;
    std::string_view text;
  };
  static const Case kCases[] = {
      {{2024, 6, 15, 22, 30, 15}, "2000年1月1日22时30分15秒"},
      {{1970, 1, 1, 22, 30, 15}, "2000年1月1日22时30分15秒"},
      {{2038, 1, 19, 3, 14, 7}, "2000年1月1日3时14分7秒"},
      {{2000, 1, 1, 23, 59, 59}, "2000年1月1日23时59分59秒"},
      {{2024, 2, 29, 0, 0, 0}, "2000年1月1日0时0分0秒"},
  };
  for (size_t i = 0; i < std::size(kCases); ++i) {
    const CivilTime& c = kCases[i].now;
    const double now = CurrentDateTime(c);
    EXPECT_EQ(Bits(now), Bits(MakeDateTime(c.year, c.month, c.day, c.hour, c.minute, c.second)))
        << "case " << i;
    const double timeOfDay = TimeOfDay(now);
    const double parsed = ParseDateTime(kCases[i].text);
    EXPECT_EQ(Bits(timeOfDay), Bits(parsed))
        << "case " << i << ": " << Describe(timeOfDay) << " vs " << Describe(parsed);
    EXPECT_EQ(Bits(DateTimeOrderKey(timeOfDay)), Bits(DateTimeOrderKey(parsed))) << "case " << i;
  }
  // Local midnight is exactly the start of 2000-01-01.
  EXPECT_EQ(Bits(TimeOfDay(CurrentDateTime({2024, 3, 10, 0, 0, 0}))), Bits(36526.0));
}

}  // namespace
