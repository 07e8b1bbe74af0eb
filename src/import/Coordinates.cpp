#include "import/Coordinates.h"

#include "model/Numbers.h"
#include "model/RunError.h"

namespace trelvano {

double loggerForm(double degrees) {
  const int64_t whole = Trunc(degrees);
  int64_t scaled;
  if (__builtin_mul_overflow(whole, int64_t{100000}, &scaled)) throw RunError::intOverflow();
  return static_cast<double>(scaled) + (degrees - static_cast<double>(whole)) * 0.6 * 100000;
}

}  // namespace trelvano
