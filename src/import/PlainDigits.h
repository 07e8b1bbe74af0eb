#pragma once
// Fixed-width runs of ASCII digits, read eight (or four) bytes at a time.

#include <cstdint>
#include <cstring>

namespace trelvano {

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

// The n (1 … 8) bytes at p as a number when all are ASCII digits (eight
// bytes readable at p): the digits are checked and combined eight at a time.
inline bool plainDigits(const char* p, int n, int32_t& value) {
  const uint64_t t = digitValues(p);
  const uint64_t nonDigit = (t | (t + 0x0606060606060606ULL)) & 0xF0F0F0F0F0F0F0F0ULL;
  const uint64_t field = n == 8 ? ~uint64_t{0} : (uint64_t{1} << (8 * n)) - 1;
  if (nonDigit & field) return false;
  value = static_cast<int32_t>(eightDigits(t << (8 * (8 - n))));  // the n digits last, zeros before them
  return true;
}

}  // namespace trelvano
