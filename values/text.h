// Texts and numbers: the conversions the scheduler's settings go through.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

// A byte string in code page 936 (GBK). The empty string stands for both the null and the empty
// text; a text ends at its first zero byte, should one be stored.
using Text = std::string;

// The double nearest to 0.999999999999: a fraction above it counts as the next whole number.
inline constexpr double SnapThreshold = 0.999999999999;
// The double nearest to 0.0000001: how far below a whole-number limit a value still reaches it.
inline constexpr double LimitTolerance = 0.0000001;

// Full-width and a few other two-byte GBK characters folded to single bytes; see text.cc.
Text FoldFullWidth(std::string_view text);
// The number at the start of the text (after folding and leading white space), 0 when there is none.
double TextToNumber(std::string_view text);
// Truncation toward zero, wrapped into 32 bits; 0 beyond the 64-bit range, for infinities and NaN.
int32_t TruncateToInt32(double x);
// Floor of a non-negative number, where a value less than about 1e-12 below a whole number snaps up.
int32_t FloorWithSnap(double x);
Text IntToText(int32_t i);
// x - limit >= -LimitTolerance, in double arithmetic.
bool ReachesLimit(double x, double limit);
// -1, 0 or +1, comparing unsigned bytes up to the terminating zero.
int CompareText(std::string_view a, std::string_view b);
int32_t TextLength(std::string_view text);
Text JoinTexts(std::initializer_list<std::string_view> parts);
// n spaces, or the empty text for n <= 0.
Text BlankText(int32_t n);
