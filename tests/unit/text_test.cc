// Texts and numbers: folding, number parsing, integer conversions, the limit tolerance and the text helpers.
// Literals are GBK bytes in the program (-fexec-charset=GBK): "时" is CA B1.
#include "values/text.h"

#include <gtest/gtest.h>

#include <bit>
#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <limits>
#include <string>
#include <string_view>

#include "tests/unit/describe.h"

namespace {

using namespace std::string_view_literals;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr int32_t kInt32Min = std::numeric_limits<int32_t>::min();
constexpr int32_t kInt32Max = std::numeric_limits<int32_t>::max();

// ---------------------------------------------------------------------------------------------------------
// FoldFullWidth

TEST(FoldFullWidthTest, Table) {
  struct Case {
    std::string_view text, folded;
  };
  static const Case kCases[] = {
      {"", ""},
      {{}, ""},
      {"abc 12:30", "abc 12:30"},
      {"\xA1\xA1", " "},                       // ideographic space
      {"\xA1\xAB", "~"},                       // full-width tilde
      {"\xA1\xEE\xA1\xEF", "**"},              // white and black star
      {"０１２３４５６７８９", "0123456789"},  // A3 B0 to A3 B9
      {"－．／：", "-./:"},                    // A3 AD, A3 AE, A3 AF, A3 BA
      {"\xA3\xA1", "!"},                       // first of the A3 row
      {"\xA3\xFE", "~"},                       // last of the A3 row
      {"ｅＥｄＤ＋", "eEdD+"},
      {"\xA3\xA0", "\xA3\xA0"},  // just outside the row: kept as it is
      {"\xA3\xFF", "\xA3\xFF"},
      {"\xA1\xA2\xA1\xAC", "\xA1\xA2\xA1\xAC"},  // other A1 characters are kept
      {"时30分", "时30分"},
      {"时\xA3\xB3", "时3"},
      {"\xA3\xA3\xB1", "#"},  // pairs are read from the start: A3 A3, then a lone B1
      {"ab\xB0", "ab"},       // a lone lead byte at the end is dropped
      {"\xB0", ""},
      {"\xB0"
       "a",
       "\xB0"
       "a"},  // a lead byte takes any next byte as its trail
      {"\x80\x41", "\x80\x41"},
      {"1\0"
       "2"sv,
       "1"},  // the text ends at its first zero byte
      {"\xB0\0"
       "\xA1"sv,
       ""},  // a lead byte before the zero is dropped, input ends
      {"\x7F\x01", "\x7F\x01"},
  };
  for (size_t i = 0; i < std::size(kCases); ++i) {
    const Text folded = FoldFullWidth(kCases[i].text);
    EXPECT_EQ(folded, kCases[i].folded)
        << "case " << i << ": [" << Hex(kCases[i].text) << "] gave [" << Hex(folded) << "]";
  }
}

TEST(FoldFullWidthTest, WholeA3RowBecomesPrintableAscii) {
  for (int trail = 0xA1; trail <= 0xFE; ++trail) {
    const char text[] = {'\xA3', static_cast<char>(trail), 'x', '\0'};
    const std::string expected = {static_cast<char>(trail - 0x80), 'x'};
    EXPECT_EQ(FoldFullWidth(text), expected) << "trail " << trail;
  }
}

// ---------------------------------------------------------------------------------------------------------
// TextToNumber

TEST(TextToNumberTest, Table) {
  const std::string manyZeros = "1" + std::string(400, '0') + "e-400";
  // 1e-2000 times 1e2003: an exponent of four digits must be read in full.
  const std::string tinyMantissa = "0." + std::string(1999, '0') + "1e2003";
  struct Case {
    std::string_view text;
    double number;
  };
  const Case kCases[] = {
      {"30", 30},
      {" 30", 30},
      {"\t30", 30},
      {"\n\v\f\r 30", 30},
      {"\xA1\xA1"
       "30",
       30},  // ideographic space
      {"３０", 30},
      {"30分钟", 30},
      {"30 minutes", 30},
      {"12:30", 12},
      {"1.5e2", 150},
      {"1.5E2", 150},
      {"1.5d2", 150},
      {"1.5D2", 150},
      {"１．５ｅ２", 150},
      {"1.5e+2", 150},
      {"15e-1", 1.5},
      {"-7", -7},
      {"+7", 7},
      {"－７", -7},
      {".5", 0.5},
      {"5.", 5},
      {"-.5e1", -5},
      {"5.e1", 50},
      {"1e", 1},
      {"1e+", 1},
      {"1e-x", 1},
      {"1d", 1},
      {"1e+5x", 100000},
      {"1.2.3", 1.2},
      {"1,000", 1},
      {"0x1A", 0},
      {"- 5", 0},
      {"+-5", 0},
      {"abc", 0},
      {".", 0},
      {"-", 0},
      {"e5", 0},
      {".e1", 0},
      {"", 0},
      {{}, 0},
      {"inf", 0},
      {"nan", 0},
      {"\xB0", 0},
      {"30\xB0", 30},
      {"3\0"
       "4"sv,
       3},
      {"\0"
       "5"sv,
       0},
      {"1e400", kInf},
      {"-1e400", -kInf},
      {"1d400", kInf},
      {"1e-400", 0},
      {"1e99999999999999999999", kInf},
      {"1e-99999999999999999999", 0},
      {"0e99999999999999999999", 0},
      {"4.9406564584124654e-324", 4.9406564584124654e-324},  // the least subnormal still reads
      {"0.1", 0.1},
      {"123456789012345678901234567890", 123456789012345678901234567890.0},
      {"1.7976931348623157e308", 1.7976931348623157e308},
      {manyZeros, 1},
      {tinyMantissa, 1000},
  };
  for (size_t i = 0; i < std::size(kCases); ++i) {
    const double number = TextToNumber(kCases[i].text);
    EXPECT_EQ(number, kCases[i].number)
        << "case " << i << " [" << Hex(kCases[i].text.substr(0, 40)) << "]: got " << Describe(number);
  }
}

// ---------------------------------------------------------------------------------------------------------
// TruncateToInt32, FloorWithSnap, IntToText

TEST(TruncateToInt32Test, Table) {
  struct Case {
    double number;
    int32_t integer;
  };
  static const Case kCases[] = {
      {29.9, 29},
      {-29.9, -29},
      {0.5, 0},
      {-0.5, 0},
      {-0.0, 0},
      {2147483647.9, kInt32Max},
      {2147483648.0, kInt32Min},
      {-2147483648.9, kInt32Min},
      {-2147483649.0, kInt32Max},
      {4294967297.0, 1},
      {-4294967297.0, -1},
      {4294967296.0, 0},
      {1099511627783.0, 7},            // 2^40 + 7
      {9223372036854774784.0, -1024},  // the largest double below 2^63: still in range, low bits wrap
      {-9223372036854774784.0, 1024},
      {9223372036854775808.0, 0},  // 2^63 lies outside
      {1e19, 0},
      {-1e19, 0},
      {kInf, 0},
      {-kInf, 0},
      {kNaN, 0},
  };
  for (size_t i = 0; i < std::size(kCases); ++i) {
    EXPECT_EQ(TruncateToInt32(kCases[i].number), kCases[i].integer)
        << "case " << i << ": " << Describe(kCases[i].number);
  }
}

TEST(FloorWithSnapTest, Table) {
  struct Case {
    double number;
    int32_t integer;
  };
  static const Case kCases[] = {
      {0, 0},
      {3, 3},
      {2.5, 2},
      {2.9999999999995, 3},  // fraction above the threshold
      {2.999999999999, 2},   // fraction 0.999999999998999...: not above it
      {59.99999999999999, 60},
      {0.9999999999995, 1},
      {SnapThreshold, 0},  // equal is not above
      {1e-300, 0},
      {4294967296.5, 0},
      {2147483648.5, kInt32Min},
      {kInf, 0},
      {kNaN, 0},
  };
  for (size_t i = 0; i < std::size(kCases); ++i) {
    EXPECT_EQ(FloorWithSnap(kCases[i].number), kCases[i].integer)
        << "case " << i << ": " << Describe(kCases[i].number);
  }
}

// The minutes of a 61-minute total: the double arithmetic lands a hair below 1, and the snap recovers it.
TEST(FloorWithSnapTest, SnapsTheMinuteOfSixtyOne) {
  const double minutes = (61.0 / 60.0 - 1.0) * 60.0;
  EXPECT_LT(minutes, 1.0) << Describe(minutes);
  EXPECT_EQ(minutes, 0.9999999999999964) << Describe(minutes);
  EXPECT_EQ(TruncateToInt32(minutes), 0);
  EXPECT_EQ(FloorWithSnap(minutes), 1);
}

TEST(IntToTextTest, Table) {
  struct Case {
    int32_t integer;
    std::string_view text;
  };
  static const Case kCases[] = {
      {0, "0"}, {7, "7"}, {-5, "-5"}, {10, "10"}, {kInt32Max, "2147483647"}, {kInt32Min, "-2147483648"},
  };
  for (size_t i = 0; i < std::size(kCases); ++i) {
    EXPECT_EQ(IntToText(kCases[i].integer), kCases[i].text) << "case " << i;
  }
}

// ---------------------------------------------------------------------------------------------------------
// ReachesLimit

TEST(ReachesLimitTest, NumbersOfTexts) {
  struct Case {
    std::string_view text;
    double limit;
    bool reaches;
  };
  static const Case kCases[] = {
      {"24", 24, true},          {"23.99999995", 24, true}, {"23.99999991", 24, true},
      {"23.9999999", 24, false},  // about 1.0000000117e-7 below 24
      {"23", 24, false},         {"25", 24, true},          {"59.99999991", 60, true},
      {"59.9999999", 60, false}, {"60", 60, true},          {"1e400", 24, true},
      {"-1e400", 24, false},     {"abc", 24, false},        {"", 60, false},
      {"２４", 24, true},
  };
  for (size_t i = 0; i < std::size(kCases); ++i) {
    EXPECT_EQ(ReachesLimit(TextToNumber(kCases[i].text), kCases[i].limit), kCases[i].reaches) << "case " << i;
  }
  // The boundary itself: a difference of exactly -LimitTolerance still reaches.
  EXPECT_TRUE(ReachesLimit(-LimitTolerance, 0));
  EXPECT_FALSE(ReachesLimit(std::nextafter(-LimitTolerance, -1.0), 0));
  EXPECT_FALSE(ReachesLimit(kNaN, 24));
  EXPECT_TRUE(ReachesLimit(kInf, 60));
}

// ---------------------------------------------------------------------------------------------------------
// CompareText, TextLength, JoinTexts, BlankText

TEST(CompareTextTest, Table) {
  struct Case {
    std::string_view a, b;
    int result;
  };
  static const Case kCases[] = {
      {{}, "", 0},
      {"", {}, 0},
      {{}, {}, 0},
      {"a", {}, 1},
      {{}, "a", -1},
      {"A", "a", -1},
      {"a", "A", 1},
      {"ab", "abc", -1},
      {"abc", "ab", 1},
      {"abc", "abc", 0},
      {"\xB0\xA1", "a", 1},  // bytes compare unsigned
      {"a", "\xB0\xA1", -1},
      {"\xB0\xA1", "\xB0\xA2", -1},
      {"时", "时", 0},
      {"a\0b"sv, "a", 0},  // a text ends at its first zero byte
      {"a\0b"sv, "a\0c"sv, 0},
      {"\0x"sv, {}, 0},
  };
  for (size_t i = 0; i < std::size(kCases); ++i) {
    EXPECT_EQ(CompareText(kCases[i].a, kCases[i].b), kCases[i].result) << "case " << i;
  }
}

TEST(TextLengthTest, CountsBytesUpToTheZero) {
  EXPECT_EQ(TextLength({}), 0);
  EXPECT_EQ(TextLength(""), 0);
  EXPECT_EQ(TextLength("abc"), 3);
  EXPECT_EQ(TextLength("时"), 2);
  EXPECT_EQ(TextLength("Zentavo By：Morvil"), 18);  // the full-width colon is two bytes
  EXPECT_EQ(TextLength("a\0bc"sv), 1);
}

TEST(JoinTextsTest, JoinsInOrder) {
  EXPECT_EQ(JoinTexts({std::string_view(), ""}), "");
  EXPECT_EQ(JoinTexts({std::string_view()}), "");
  EXPECT_EQ(JoinTexts({"2000年1月1日", "22", "时"}),
            "2000\xC4\xEA"
            "1\xD4\xC2"
            "1\xC8\xD5"
            "22\xCA\xB1");
  EXPECT_EQ(JoinTexts({"a", {}, "b", "", "c"}), "abc");
  EXPECT_EQ(JoinTexts({"a\0x"sv, "b"}), "ab");

  const std::string hour = "22";
  const std::string minute = "30";
  const Text start = JoinTexts({"2000年1月1日", hour, "时", minute, "分", "0秒"});
  EXPECT_EQ(start, "2000年1月1日22时30分0秒");
  EXPECT_EQ(TextLength(start), 23);
  EXPECT_EQ(hour, "22");
  EXPECT_EQ(JoinTexts({"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11"}), "1234567891011");
}

TEST(BlankTextTest, SpacesOrNothing) {
  EXPECT_EQ(BlankText(0), "");
  EXPECT_EQ(BlankText(-3), "");
  EXPECT_EQ(BlankText(kInt32Min), "");
  EXPECT_EQ(BlankText(1), " ");
  EXPECT_EQ(BlankText(3), "   ");
  EXPECT_EQ(BlankText(260), std::string(260, ' '));
}

}  // namespace
