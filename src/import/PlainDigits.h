#pragma once
// Fixed-width runs of ASCII digits: the one digit reader of the flight file
// readers (IGC fields, dates and times), and the packed form the shaped
// logger lines combine their already checked digits with.

#include <cstdint>
#include <cstring>

namespace trelvano {

// The n (1 … 9) bytes at p as a number when all are ASCII digits.
inline bool plainDigits(const char* p, int n, int32_t& value) {
  int32_t v = 0;
  for (int k = 0; k < n; ++k) {
    const unsigned digit = static_cast<unsigned char>(p[k]) - unsigned{'0'};
    if (digit > 9) return false;
    v = v * 10 + static_cast<int32_t>(digit);
  }
  value = v;
  return true;
}

// The digit values of the eight (four) bytes at p, byte 0 the first: right
// as far as the first non-digit.
inline uint64_t digitValues(const char* p) {
  uint64_t w;
  std::memcpy(&w, p, 8);
  return w - 0x3030303030303030ULL;
}
inline uint32_t fourDigitValues(const char* p) {
  uint32_t w;
  std::memcpy(&w, p, 4);
  return w - 0x30303030u;
}

// Eight (four) digit values, byte 0 the first, as a number; zero bytes
// before the digits count nothing.
inline uint64_t eightDigits(uint64_t t) {
  t = (t * 10 + (t >> 8)) & 0x00FF00FF00FF00FFULL;
  t = (t * 100 + (t >> 16)) & 0x0000FFFF0000FFFFULL;
  return (t * 10000 + (t >> 32)) & 0xFFFFFFFFULL;
}
inline uint32_t fourDigits(uint32_t t) {  // one step less
  t = (t * 10 + (t >> 8)) & 0x00FF00FFu;
  return (t * 100 + (t >> 16)) & 0xFFFFu;
}

}  // namespace trelvano
