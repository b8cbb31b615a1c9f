#include "values/datetime.h"

#include <cmath>

#include "values/text.h"

namespace {

bool IsLeapYear(int32_t year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int32_t DaysInMonth(int32_t year, int32_t month) {
  static constexpr int32_t kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

DateTime Clamp(DateTime value) {
  if (value > MaxDateTime) return MaxDateTime;
  if (!(value >= MinDateTime)) return MinDateTime;  // NaN too: it has no time of day
  return value;
}

// GBK codes of the field characters of a time text.
constexpr char kYear[] = "\xC4\xEA";    // 年
constexpr char kMonth[] = "\xD4\xC2";   // 月
constexpr char kDay[] = "\xC8\xD5";     // 日
constexpr char kHour[] = "\xCA\xB1";    // 时
constexpr char kMinute[] = "\xB7\xD6";  // 分
constexpr char kSecond[] = "\xC3\xEB";  // 秒

// Reads a time text field by field; every step stops at the first byte it cannot take.
class TimeTextReader {
 public:
  explicit TimeTextReader(std::string_view text) : text_(text) {}

  // Up to `most` ASCII digits; none reads as 0.
  int32_t Field(int most) {
    int32_t value = 0;
    for (int taken = 0; taken < most && pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9';
         ++taken) {
      value = value * 10 + (text_[pos_++] - '0');
    }
    return value;
  }

  // Skips at most one separator: one of the single bytes, or the field's own two-byte character.
  void SkipSeparator(std::string_view singles, std::string_view own) {
    if (pos_ >= text_.size()) return;
    if (singles.find(text_[pos_]) != std::string_view::npos) {
      ++pos_;
    } else if (text_.substr(pos_, 2) == own) {
      pos_ += 2;
    }
  }

  // After the seconds the text must end or go on with 秒.
  bool EndsWell() const { return pos_ == text_.size() || text_.substr(pos_, 2) == kSecond; }

 private:
  std::string_view text_;
  size_t pos_ = 0;
};

}  // namespace

DateTime MakeDateTime(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute, int32_t second) {
  static constexpr int32_t kDaysBefore[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
  int32_t days = 365 * year + year / 4 - year / 100 + year / 400 + kDaysBefore[month - 1] + day;
  if (month <= 2 && IsLeapYear(year)) days -= 1;
  days -= 693959;  // 1899-12-30 is day 0
  const double fraction = static_cast<double>(3600 * hour + 60 * minute + second) * (1.0 / 86400.0);
  const double whole = days;
  return days >= 0 ? whole + fraction : whole - fraction;
}

std::optional<DateTime> TryParseDateTime(std::string_view text) {
  const Text folded = FoldFullWidth(text);
  if (folded.empty()) return std::nullopt;

  TimeTextReader reader(folded);
  const int32_t year = reader.Field(4);
  reader.SkipSeparator("-./:", kYear);
  const int32_t month = reader.Field(2);
  reader.SkipSeparator("-./:", kMonth);
  const int32_t day = reader.Field(2);
  reader.SkipSeparator("-./: ", kDay);
  const int32_t hour = reader.Field(2);
  reader.SkipSeparator("-./:", kHour);
  const int32_t minute = reader.Field(2);
  reader.SkipSeparator("-./:", kMinute);
  const int32_t second = reader.Field(2);
  if (!reader.EndsWell()) return std::nullopt;

  if (year < 100 || year > 9999 || month < 1 || month > 12) return std::nullopt;
  if (day < 1 || day > DaysInMonth(year, month)) return std::nullopt;
  if (hour > 23 || minute > 59 || second > 59) return std::nullopt;
  return MakeDateTime(year, month, day, hour, minute, second);
}

DateTime ParseDateTime(std::string_view text) { return TryParseDateTime(text).value_or(MinDateTime); }

DateTime CurrentDateTime(const CivilTime& now) {
  return MakeDateTime(now.year, now.month, now.day, now.hour, now.minute, now.second);
}

DateTime TimeOfDay(DateTime value) {
  const double v = Clamp(value);
  const double shifted = std::fabs(v) + 1.0 / 172800.0;  // half a second: round to the nearest second
  const auto seconds = static_cast<int32_t>((shifted - std::trunc(shifted)) * 86400.0);
  return MakeDateTime(2000, 1, 1, seconds / 3600, seconds / 60 % 60, seconds % 60);
}

double DateTimeOrderKey(DateTime value) {
  const double v = Clamp(value);
  if (v >= 0) return v;
  const double whole = std::trunc(v);
  return whole - (v - whole);
}
