#pragma once
// Logger coordinates: an integer DDMMmmm (latitude) or DDDMMmmm (longitude),
// degrees × 100000 + minutes × 1000 + thousandths of a minute, negative for
// south or west.

#include <cmath>
#include <cstdint>

namespace trelvano {

// Decimal degrees of a logger coordinate: with q = v / 100000, Int(q) + Frac(q) / 0.6.
inline double loggerDegrees(int32_t v) {
  const double q = v / 100000.0;
  // Int(q) is the integer quotient: q never rounds across a whole number.
  const double whole = v / 100000;
  return whole + (q - whole) / 0.6;
}

// Decimal degrees back to the logger form DDMMmmm (not rounded): the whole
// degrees × 100000 as a 64-bit integer plus the fraction × 0.6 × 100000.
// Throws "Ungültige Gleitkommaoperation" for values without a whole part.
double loggerForm(double degrees);

}  // namespace trelvano
