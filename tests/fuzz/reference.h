// Second, deliberately plain readings of the time-text grammar and the number grammar, written apart from
// values/ so that the fuzz targets and the soak can compare the product's answers against them. Only hex
// escapes in literals: this header is compiled by clang without a GBK execution character set, too.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace reference {

// Two-byte GBK characters that fold to one byte; everything else passes through.
inline std::string Fold(std::string_view in) {
  std::string out;
  size_t i = 0;
  while (i < in.size() && in[i] != '\0') {
    const unsigned lead = static_cast<unsigned char>(in[i]);
    if (lead < 0x80) {
      out.push_back(static_cast<char>(lead));
      i += 1;
      continue;
    }
    if (i + 1 >= in.size() || in[i + 1] == '\0') break;  // lone lead byte before the end
    const unsigned trail = static_cast<unsigned char>(in[i + 1]);
    const unsigned code = lead << 8 | trail;
    if (code == 0xA1A1) {
      out.push_back(' ');
    } else if (code == 0xA1AB) {
      out.push_back('~');
    } else if (code == 0xA1EE || code == 0xA1EF) {
      out.push_back('*');
    } else if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
      out.push_back(static_cast<char>(trail - 0x80));
    } else {
      out.append(in.substr(i, 2));
    }
    i += 2;
  }
  return out;
}

struct TimeFields {
  int year, month, day, hour, minute, second;
  friend bool operator==(const TimeFields&, const TimeFields&) = default;
};

inline bool IsLeap(int y) { return y % 4 == 0 && (y % 100 != 0 || y % 400 == 0); }

inline int MonthLength(int y, int m) {
  constexpr std::array<int, 12> kLength = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : kLength[static_cast<size_t>(m - 1)];
}

// The fields of a time text such as "2000<nian>1<yue>1<ri>22<shi>30<fen>0<miao>", or nothing when the text is
// rejected: six runs of digits (4, 2, 2, 2, 2, 2 at most) with at most one separator after each of the first
// five, then the end or <miao>.
inline std::optional<TimeFields> ParseTimeText(std::string_view raw) {
  const std::string text = Fold(raw);
  if (text.empty()) return std::nullopt;
  struct Step {
    size_t mostDigits;
    const char* singles;
    const char* own;  // the field's own two-byte character
  };
  static constexpr std::array<Step, 6> kSteps = {{
      {4, "-./:", "\xC4\xEA"},   // year, nian
      {2, "-./:", "\xD4\xC2"},   // month, yue
      {2, "-./: ", "\xC8\xD5"},  // day, ri
      {2, "-./:", "\xCA\xB1"},   // hour, shi
      {2, "-./:", "\xB7\xD6"},   // minute, fen
      {2, "", ""},               // second
  }};
  std::array<int, 6> value{};
  size_t at = 0;
  for (size_t f = 0; f < kSteps.size(); ++f) {
    size_t taken = 0;
    while (taken < kSteps[f].mostDigits && at < text.size() && text[at] >= '0' && text[at] <= '9') {
      value[f] = value[f] * 10 + (text[at] - '0');
      ++at;
      ++taken;
    }
    if (f == 5 || at >= text.size()) continue;
    if (std::string_view(kSteps[f].singles).find(text[at]) != std::string_view::npos) {
      at += 1;
    } else if (std::string_view(text).substr(at, 2) == kSteps[f].own) {
      at += 2;
    }
  }
  if (at != text.size() && std::string_view(text).substr(at, 2) != "\xC3\xEB") return std::nullopt;  // miao
  const TimeFields t{value[0], value[1], value[2], value[3], value[4], value[5]};
  if (t.year < 100 || t.year > 9999 || t.month < 1 || t.month > 12) return std::nullopt;
  if (t.day < 1 || t.day > MonthLength(t.year, t.month)) return std::nullopt;
  if (t.hour > 23 || t.minute > 59 || t.second > 59) return std::nullopt;
  return t;
}

// Days since 1899-12-30, counted with years that begin on March 1st (the leap day ends its year).
inline int64_t DayNumber(int y, int m, int d) {
  const int64_t year = m <= 2 ? y - 1 : y;
  const int64_t fromMarch = (m + 9) % 12;
  const int64_t dayOfYear = (153 * fromMarch + 2) / 5 + d - 1;
  constexpr int64_t kEpoch = 365 * 1899 + 1899 / 4 - 1899 / 100 + 1899 / 400 + (153 * 9 + 2) / 5 + 30 - 1;
  return 365 * year + year / 4 - year / 100 + year / 400 + dayOfYear - kEpoch;
}

inline int SecondOfDay(const TimeFields& t) { return t.hour * 3600 + t.minute * 60 + t.second; }

// The longest prefix (after folding and leading white space) that reads as a number, with the exponent
// letters d and D written as e, ready for strtod; empty when there is none.
inline std::string NumberPrefix(std::string_view raw) {
  const std::string s = Fold(raw);
  auto digit = [&](size_t k) { return k < s.size() && s[k] >= '0' && s[k] <= '9'; };
  size_t k = 0;
  while (k < s.size() && (s[k] == ' ' || (s[k] >= '\t' && s[k] <= '\r'))) ++k;
  const size_t begin = k;
  if (k < s.size() && (s[k] == '+' || s[k] == '-')) ++k;
  size_t digits = 0;
  while (digit(k)) ++k, ++digits;
  if (k < s.size() && s[k] == '.') {
    ++k;
    while (digit(k)) ++k, ++digits;
  }
  if (digits == 0) return {};
  std::string prefix = s.substr(begin, k - begin);
  if (k < s.size() && std::string_view("eEdD").find(s[k]) != std::string_view::npos) {
    size_t e = k + 1;
    if (e < s.size() && (s[e] == '+' || s[e] == '-')) ++e;
    if (digit(e)) {
      while (digit(e)) ++e;
      prefix += 'e';
      prefix += s.substr(k + 1, e - k - 1);
    }
  }
  return prefix;
}

// The number a text holds, by strtod on its prefix (the C locale reads '.' as the point); 0 for none.
inline double Number(std::string_view raw) {
  const std::string prefix = NumberPrefix(raw);
  return prefix.empty() ? 0.0 : std::strtod(prefix.c_str(), nullptr);
}

// A number stored into a 32-bit integer: its whole part's low 32 bits when the whole part lies within the
// signed 64-bit range, else (and for infinities and NaN) 0. Worked out by remainder, not by casts.
inline int32_t TruncateToInt32(double x) {
  constexpr double kTwo32 = 4294967296.0, kTwo31 = 2147483648.0, kTwo63 = 9223372036854775808.0;
  if (!std::isfinite(x)) return 0;
  const double whole = std::trunc(x);
  if (whole >= kTwo63 || whole < -kTwo63) return 0;
  double r = std::fmod(whole, kTwo32);  // exact
  if (r < 0) r += kTwo32;
  if (r >= kTwo31) r -= kTwo32;
  return static_cast<int32_t>(r);
}

}  // namespace reference
