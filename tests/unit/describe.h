// Failure-message helpers: a double with all its digits and bits, and bytes as hex (GBK texts read the
// same in any terminal).
#pragma once

#include <bit>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

inline std::string Describe(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.17g (0x%016" PRIx64 ")", value, std::bit_cast<uint64_t>(value));
  return buffer;
}

inline std::string Hex(std::string_view bytes) {
  std::string out;
  char buffer[4];
  for (unsigned char c : bytes) {
    std::snprintf(buffer, sizeof buffer, "%02X ", c);
    out += buffer;
  }
  return out;
}
