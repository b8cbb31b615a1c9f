// Fuzzes the number parse of field texts: the value must equal strtod's reading of the prefix that the plain
// grammar in reference.h picks out, bit for bit (sign of zero and of infinity included), and a pure ASCII
// text written in full-width characters must read the same as the ASCII one. The number is then stored into
// an integer both ways the scheduler does, compared with a modular reckoning.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "tests/fuzz/reference.h"
#include "values/text.h"

namespace {

[[noreturn]] void Fail(const char* what, std::string_view text, double got, double want) {
  std::fprintf(stderr, "number_fuzz: %s: got %.17g, want %.17g\ntext (hex):", what, got, want);
  for (unsigned char c : text) std::fprintf(stderr, " %02X", c);
  std::fprintf(stderr, "\n");
  std::abort();
}

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Printable ASCII as the full-width forms of code page 936 (A3 A1 to A3 FE), the space as the
// ideographic space; control bytes stay as they are.
std::string FullWidth(std::string_view ascii) {
  std::string out;
  for (unsigned char c : ascii) {
    if (c == ' ') {
      out += "\xA1\xA1";
    } else if (c > 0x20 && c < 0x7F) {
      out += '\xA3';
      out += static_cast<char>(c + 0x80);
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const double got = TextToNumber(text);
  const double want = reference::Number(text);
  if (!SameBits(got, want)) Fail("differs from strtod of the prefix", text, got, want);

  bool ascii = true;
  for (unsigned char c : text) ascii = ascii && c < 0x80;
  if (ascii) {
    const double wide = TextToNumber(FullWidth(text));
    if (!SameBits(wide, got)) Fail("full-width form reads differently", text, wide, got);
  }

  const int32_t truncated = TruncateToInt32(got);
  const int32_t truncatedWant = reference::TruncateToInt32(got);
  if (truncated != truncatedWant) Fail("TruncateToInt32", text, truncated, truncatedWant);

  if (got >= 0) {
    // Floor, where a fraction above the snap threshold counts as the next whole number.
    const double whole = std::trunc(got);
    const int32_t floored = FloorWithSnap(got);
    const int32_t flooredWant = reference::TruncateToInt32(got - whole > SnapThreshold ? whole + 1 : whole);
    if (floored != flooredWant) Fail("FloorWithSnap", text, floored, flooredWant);
  }
  return 0;
}
