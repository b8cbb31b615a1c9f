#include "values/text.h"

#include <cmath>
#include <cstdlib>

namespace {

// The text up to its first zero byte.
std::string_view UpToZero(std::string_view text) { return text.substr(0, text.find('\0')); }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Wraps a whole number into 32 bits when it lies within the signed 64-bit range, else 0.
int32_t WrapWholeNumber(double whole) {
  constexpr double kTwo63 = 9223372036854775808.0;
  if (!(whole >= -kTwo63 && whole < kTwo63)) return 0;  // also NaN
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(static_cast<int64_t>(whole))));
}

}  // namespace

Text FoldFullWidth(std::string_view text) {
  text = UpToZero(text);
  Text out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
      out += static_cast<char>(lead);
      continue;
    }
    if (i + 1 >= text.size()) break;  // a lone lead byte at the end is dropped
    const auto trail = static_cast<unsigned char>(text[++i]);
    if (lead == 0xA1 && trail == 0xA1) {
      out += ' ';
    } else if (lead == 0xA1 && trail == 0xAB) {
      out += '~';
    } else if (lead == 0xA1 && (trail == 0xEE || trail == 0xEF)) {
      out += '*';
    } else if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
      out += static_cast<char>(trail - 0x80);
    } else {
      out += static_cast<char>(lead);
      out += static_cast<char>(trail);
    }
  }
  return out;
}

double TextToNumber(std::string_view text) {
  const Text folded = FoldFullWidth(text);
  size_t i = 0;
  const size_t n = folded.size();
  while (i < n && (folded[i] == ' ' || (folded[i] >= 0x09 && folded[i] <= 0x0D))) ++i;

  bool negative = false;
  if (i < n && (folded[i] == '+' || folded[i] == '-')) negative = folded[i++] == '-';

  // Mantissa: digits with at most one point, at least one digit.
  std::string number;
  size_t digits = 0;
  bool point = false;
  while (i < n) {
    const char c = folded[i];
    if (IsDigit(c)) {
      ++digits;
      number += c;
    } else if (c == '.' && !point) {
      point = true;
      number += c;
    } else {
      break;
    }
    ++i;
  }
  if (digits == 0) return 0.0;

  // Exponent: a letter, an optional sign, at least one digit; otherwise not part of the number.
  long long exponent = 0;
  if (i < n && (folded[i] == 'e' || folded[i] == 'E' || folded[i] == 'd' || folded[i] == 'D')) {
    size_t j = i + 1;
    bool expNegative = false;
    if (j < n && (folded[j] == '+' || folded[j] == '-')) expNegative = folded[j++] == '-';
    if (j < n && IsDigit(folded[j])) {
      for (; j < n && IsDigit(folded[j]); ++j) {
        if (exponent < 100000000) exponent = exponent * 10 + (folded[j] - '0');
      }
      if (expNegative) exponent = -exponent;
      number += 'e';
      number += std::to_string(exponent);
    }
  }

  // The text built above is plain decimal, so the C library's correctly rounded conversion reads all of
  // it (the program never changes the C locale's decimal point). Out of range it gives infinity or 0.
  const double value = std::strtod(number.c_str(), nullptr);
  return negative ? -value : value;
}

int32_t TruncateToInt32(double x) {
  if (!std::isfinite(x)) return 0;
  return WrapWholeNumber(std::trunc(x));
}

int32_t FloorWithSnap(double x) {
  const double whole = std::trunc(x);
  const double fraction = x - whole;
  return WrapWholeNumber(fraction > SnapThreshold ? whole + 1 : whole);
}

Text IntToText(int32_t i) { return std::to_string(i); }

bool ReachesLimit(double x, double limit) { return x - limit >= -LimitTolerance; }

int CompareText(std::string_view a, std::string_view b) {
  a = UpToZero(a);
  b = UpToZero(b);
  const int order = a.compare(b);  // char_traits<char>::compare orders bytes as unsigned
  return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

int32_t TextLength(std::string_view text) { return static_cast<int32_t>(UpToZero(text).size()); }

Text JoinTexts(std::initializer_list<std::string_view> parts) {
  Text out;
  for (std::string_view part : parts) out += UpToZero(part);
  return out;
}

Text BlankText(int32_t n) { return n <= 0 ? Text() : Text(static_cast<size_t>(n), ' '); }
