// What the five field texts mean, worked out from the texts alone with the plain readings of
// tests/fuzz/reference.h: whether the shutdown is offered at a second of the day, and what the fields
// hold after the settings file has been loaded into them.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tests/fuzz/reference.h"
#include "values/text.h"

namespace soak {

// 编辑框1 to 编辑框5: hour, minute, waiting seconds, validity span, snooze span.
using Fields = std::array<Text, 5>;
enum FieldIndex { kHour, kMinute, kWait, kSpan, kSnooze };

// Whether a check at the second could offer the shutdown, and whether it could not. Both hold where
// the double arithmetic of very long spans leaves the end minute one of two values.
struct Verdict {
  bool mayOffer = false, mayNotOffer = false;
  bool Certain() const { return mayOffer != mayNotOffer; }
};

// "2000年1月1日" HOUR "时" MINUTE "分0秒", in code page 936.
inline std::string TimeText(const std::string& hour, const std::string& minute) {
  return "2000\xC4\xEA"
         "1\xD4\xC2"
         "1\xC8\xD5" +
         hour + "\xCA\xB1" + minute +
         "\xB7\xD6"
         "0\xC3\xEB";
}

// The interval starts at the time the hour and minute texts spell; a start that does not parse offers
// nothing. It lasts the span plus the minute (never below 0) in hours and minutes, added to the hour's
// number; an end hour of 24 or more becomes 23, and if that puts the end before the start (or makes an
// end that does not parse) the end is 23:59:59. An end that does not parse otherwise offers nothing.
inline Verdict ShutdownOffered(const Fields& f, int secondOfDay) {
  Verdict verdict;
  const auto offer = [&](bool inside) { (inside ? verdict.mayOffer : verdict.mayNotOffer) = true; };
  if (f[kHour].empty()) {
    offer(false);
    return verdict;
  }
  const std::optional<reference::TimeFields> start = reference::ParseTimeText(TimeText(f[kHour], f[kMinute]));
  if (!start) {
    offer(false);
    return verdict;
  }
  const int startSecond = reference::SecondOfDay(*start);

  const int64_t span = reference::TruncateToInt32(reference::Number(f[kSpan]));
  const int64_t minute = reference::TruncateToInt32(reference::Number(f[kMinute]));
  const int64_t total = span + std::max<int64_t>(minute, 0);
  struct Split {
    int64_t hours, minutes;
  };
  std::vector<Split> splits;
  if (total < 60) {
    splits.push_back({0, total});
  } else {
    splits.push_back({total / 60, total % 60});
    // From 256 hours and 5 minutes on, some totals come out one minute short.
    if (total >= 256 * 60 + 5 && total % 60 != 0) splits.push_back({total / 60, total % 60 - 1});
  }
  for (const Split& split : splits) {
    int32_t endHour =
        reference::TruncateToInt32(reference::Number(f[kHour]) + static_cast<double>(split.hours));
    const bool capped = endHour >= 24;
    if (capped) endHour = 23;
    const std::optional<reference::TimeFields> end =
        reference::ParseTimeText(TimeText(std::to_string(endHour), std::to_string(split.minutes)));
    int endSecond = end ? reference::SecondOfDay(*end) : -1;  // -1: before every time of day
    if (capped && endSecond < startSecond) endSecond = 86399;
    offer(secondOfDay >= startSecond && secondOfDay <= endSecond);
  }
  return verdict;
}

// The settings file's section and keys, in code page 936, in field order.
inline constexpr char kSection[] = "\xB9\xD8\xBB\xFA\xC9\xE8\xD6\xC3";  // 关机设置
inline constexpr std::array<const char*, 5> kKeys = {
    "\xD0\xA1\xCA\xB1",                                  // 小时
    "\xB7\xD6\xD6\xD3",                                  // 分钟
    "\xB5\xC8\xB4\xFD\xC3\xEB\xCA\xFD",                  // 等待秒数
    "\xB9\xD8\xBB\xFA\xD3\xD0\xD0\xA7\xBC\xE4\xB8\xF4",  // 关机有效间隔
    "\xCF\xC2\xB4\xCE\xCC\xE1\xD0\xD1\xBC\xE4\xB8\xF4",  // 下次提醒间隔
};

// An hour that reaches 24, or a minute that reaches 60, allowing 0.0000001.
inline bool ReachesClampLimit(FieldIndex field, const Text& text) {
  const double limit = field == kHour ? 24 : 60;
  return reference::Number(text) - limit >= -0.0000001;
}

// The fields after loading: each value read (by `read`, the profile reader) that is not empty replaces
// its field, hours reaching 24 as "23", minutes reaching 60 as "59".
template <typename ReadValue>
Fields AfterLoad(const Fields& before, ReadValue read) {
  Fields after = before;
  for (int i = 0; i < 5; ++i) {
    const Text value = read(kKeys[static_cast<size_t>(i)]);
    if (value.empty()) continue;
    const auto field = static_cast<FieldIndex>(i);
    if ((field == kHour || field == kMinute) && ReachesClampLimit(field, value)) {
      after[static_cast<size_t>(i)] = field == kHour ? "23" : "59";
    } else {
      after[static_cast<size_t>(i)] = value;
    }
  }
  return after;
}

}  // namespace soak
