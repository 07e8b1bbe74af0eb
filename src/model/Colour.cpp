#include "model/Colour.h"

namespace trelvano {

QColor toQColor(int32_t bgr) {
  const uint32_t c = static_cast<uint32_t>(bgr);
  return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

}  // namespace trelvano
