#include "import/PlainDecimal.h"

#include <bit>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace trelvano {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Eight ASCII digits at p as a number, all at once (little-endian machines;
// elsewhere the digit loop does it).
bool eightDigits(const char* p, uint64_t& value) {
  if constexpr (std::endian::native != std::endian::little) return false;
  uint64_t v;
  std::memcpy(&v, p, 8);
  if ((((v + 0x4646464646464646) | (v - 0x3030303030303030)) & 0x8080808080808080) != 0) return false;
  v -= 0x3030303030303030;
  v = v * 10 + (v >> 8);  // pairs of digits
  constexpr uint64_t kMask = 0x000000FF000000FF;
  value = (((v & kMask) * (100 + (1000000ULL << 32))) + (((v >> 16) & kMask) * (1 + (10000ULL << 32)))) >> 32;
  return true;
}

constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

constexpr ptrdiff_t kLongest = 40;

}  // namespace

const char* readPlainDecimal(const char* const start, const char* end, double& value) {
  if (end - start > kLongest + 1) end = start + kLongest + 1;  // one more shows the number goes on
  const char* p = start;
  const bool negative = p < end && *p == '-';
  p += negative;
  const char* const first = p;
  uint64_t mantissa = 0;  // wraps beyond 19 digits, but is used only up to 15
  while (p < end && isDigit(*p)) mantissa = mantissa * 10 + uint64_t(*p++ - '0');
  const ptrdiff_t intDigits = p - first;
  if (intDigits == 0) return nullptr;
  ptrdiff_t fractionDigits = 0;
  if (p < end && *p == '.') {
    const char* const fraction = ++p;
    for (uint64_t eight; end - p >= 8 && eightDigits(p, eight); p += 8) mantissa = mantissa * 100000000 + eight;
    while (p < end && isDigit(*p)) mantissa = mantissa * 10 + uint64_t(*p++ - '0');
    fractionDigits = p - fraction;
    if (fractionDigits == 0) return nullptr;
  }
  if (p - start > kLongest) return nullptr;
  // Up to 15 digits and their power of ten are exact in a double, so one
  // division rounds correctly (Clinger's fast path), as from_chars would.
  if (intDigits + fractionDigits <= 15) {
    const double v = double(mantissa) / kPowersOfTen[fractionDigits];
    value = negative ? -v : v;
    return p;
  }
  const std::from_chars_result r = std::from_chars(start, p, value);
  return r.ec == std::errc() && r.ptr == p ? p : nullptr;
}

}  // namespace trelvano
