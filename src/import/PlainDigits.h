#pragma once
// Fixed-width runs of ASCII digits, read eight bytes at a time.

#include <cstdint>
#include <cstring>

// The n (1 … 8) bytes at p as a number when all are ASCII digits (eight
// bytes readable at p): the digits are checked and combined eight at a time.
inline bool plainDigits(const char* p, int n, int32_t& value) {
  uint64_t w;
  std::memcpy(&w, p, 8);
  const uint64_t t = w - 0x3030303030303030ULL;  // digit values, as far as the first non-digit
  const uint64_t nonDigit = (t | (t + 0x0606060606060606ULL)) & 0xF0F0F0F0F0F0F0F0ULL;
  const uint64_t field = n == 8 ? ~uint64_t{0} : (uint64_t{1} << (8 * n)) - 1;
  if (nonDigit & field) return false;
  uint64_t d = t << (8 * (8 - n));  // the n digits last, zeros before them
  d = (d * 10 + (d >> 8)) & 0x00FF00FF00FF00FFULL;
  d = (d * 100 + (d >> 16)) & 0x0000FFFF0000FFFFULL;
  value = static_cast<int32_t>((d * 10000 + (d >> 32)) & 0xFFFFFFFFULL);
  return true;
}
