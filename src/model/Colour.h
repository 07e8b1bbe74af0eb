#pragma once
// Colours as the model stores them: $00BBGGRR, red in the low byte.

#include <QColor>
#include <cstdint>

namespace trelvano {

// $00BBGGRR -> Qt colour.
QColor toQColor(int32_t bgr);
// $00BBGGRR -> a pixel of a QImage::Format_RGB32 image (0xFFRRGGBB).
inline uint32_t toRgb32(int32_t bgr) {
  const uint32_t c = static_cast<uint32_t>(bgr);
  return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
// A pixel of an RGB32 image -> $00BBGGRR.
inline int32_t fromRgb32(uint32_t argb) {
  return static_cast<int32_t>(((argb & 0xFFu) << 16) | (argb & 0xFF00u) | ((argb >> 16) & 0xFFu));
}

}  // namespace trelvano
