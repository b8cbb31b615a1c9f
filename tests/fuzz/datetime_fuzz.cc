// Fuzzes the time-text parse against the plain reading in reference.h, and checks the value it builds: the
// day number, the second of the day, the time of day and the order of two parsed texts.
//
// The input is cut at its first two newlines into pieces p0, p1, p2. Each piece is parsed on its own; p0 and
// p1 are also used as the hour and minute texts of the schedule check's start text, and the whole input
// is parsed as one text as well.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tests/fuzz/reference.h"
#include "values/datetime.h"
#include "values/text.h"

namespace {

[[noreturn]] void Fail(const char* what, std::string_view text) {
  std::fprintf(stderr, "datetime_fuzz: %s\ntext (hex):", what);
  for (unsigned char c : text) std::fprintf(stderr, " %02X", c);
  std::fprintf(stderr, "\n");
  std::abort();
}

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The days of MinDateTime (0100-01-01) and MaxDateTime (9999-12-31). Later times on either day lie beyond
// the range (below day 0 the fraction is subtracted), and the time of day and the order key clamp them to
// midnight of that day.
constexpr int64_t kFirstDay = -657434, kLastDay = 2958465;
bool Clamped(int64_t day) { return day == kFirstDay || day == kLastDay; }

struct Parsed {
  std::optional<DateTime> value;
  std::optional<reference::TimeFields> fields;
};

// Parses one text both ways and checks everything that follows from a single value.
Parsed CheckOne(std::string_view text) {
  const std::optional<DateTime> got = TryParseDateTime(text);
  const std::optional<reference::TimeFields> want = reference::ParseTimeText(text);
  if (got.has_value() != want.has_value())
    Fail(got ? "accepted, reference rejects" : "rejected, reference accepts", text);

  const DateTime plain = ParseDateTime(text);
  if (!SameBits(plain, got.value_or(MinDateTime))) Fail("ParseDateTime differs from TryParseDateTime", text);
  const bool yearHundredStart = want && *want == reference::TimeFields{100, 1, 1, 0, 0, 0};
  if ((plain == MinDateTime) != (!want || yearHundredStart)) Fail("MinDateTime without a rejection", text);
  if (!got) return {got, want};

  const reference::TimeFields& t = *want;
  if (!SameBits(*got, MakeDateTime(t.year, t.month, t.day, t.hour, t.minute, t.second))) {
    Fail("value is not MakeDateTime of the fields", text);
  }
  // The whole part is the day number; the fraction, subtracted below day 0, is the second of the day.
  const int64_t day = reference::DayNumber(t.year, t.month, t.day);
  const int second = reference::SecondOfDay(t);
  if (static_cast<int64_t>(std::trunc(*got)) != day) Fail("wrong day number", text);
  const double secondsFromValue = std::fabs(*got - static_cast<double>(day)) * 86400.0;
  if (std::fabs(secondsFromValue - second) > 0.01) Fail("wrong second of the day", text);

  // The time of day round-trips: the same hour, minute and second on 2000-01-01, save for the clamped days.
  const int keptSecond = Clamped(day) ? 0 : second;
  const DateTime timeOfDay = TimeOfDay(*got);
  if (!SameBits(timeOfDay,
                MakeDateTime(2000, 1, 1, keptSecond / 3600, keptSecond / 60 % 60, keptSecond % 60))) {
    Fail("time of day", text);
  }
  if (!SameBits(timeOfDay, 36526.0 + keptSecond * (1.0 / 86400.0))) Fail("time of day off 2000-01-01", text);
  if (!SameBits(DateTimeOrderKey(timeOfDay), timeOfDay)) Fail("key of a time of day", text);

  const double key = DateTimeOrderKey(*got);
  if (std::fabs(key - (static_cast<double>(day) + keptSecond / 86400.0)) > 1e-6) Fail("order key", text);
  return {got, want};
}

// Keys order values as the calendar does.
void CheckOrder(const Parsed& a, const Parsed& b, std::string_view texts) {
  if (!a.value || !b.value) return;
  const auto rank = [](const reference::TimeFields& t) {
    const int64_t day = reference::DayNumber(t.year, t.month, t.day);
    return day * 86400 + (Clamped(day) ? 0 : reference::SecondOfDay(t));
  };
  const int64_t ra = rank(*a.fields), rb = rank(*b.fields);
  const double ka = DateTimeOrderKey(*a.value), kb = DateTimeOrderKey(*b.value);
  if ((ra < rb) != (ka < kb) || (ra == rb) != (ka == kb)) Fail("keys out of calendar order", texts);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::vector<std::string_view> pieces;
  size_t from = 0;
  while (pieces.size() < 2) {
    const size_t newline = input.find('\n', from);
    if (newline == std::string_view::npos) break;
    pieces.push_back(input.substr(from, newline - from));
    from = newline + 1;
  }
  pieces.push_back(input.substr(from));

  CheckOne(input);
  std::vector<Parsed> parsed;
  for (std::string_view piece : pieces) parsed.push_back(CheckOne(piece));
  if (parsed.size() >= 2) CheckOrder(parsed[0], parsed[1], input);

  // The schedule check's start text: 2000<nian>1<yue>1<ri>, hour, <shi>, minute, <fen>, 0<miao>.
  const std::string_view hour = pieces[0];
  const std::string_view minute = pieces.size() > 1 ? pieces[1] : std::string_view();
  CheckOne(
      JoinTexts({"2000\xC4\xEA"
                 "1\xD4\xC2"
                 "1\xC8\xD5",
                 hour, "\xCA\xB1", minute, "\xB7\xD6", "0\xC3\xEB"}));
  return 0;
}
