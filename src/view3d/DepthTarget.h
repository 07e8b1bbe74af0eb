#pragma once
// What the 3D view needs to draw lines behind the terrain surface: the depth
// of every pixel the surface covers, and the depth of a stroked entry.

#include "model/FlightPoint.h"
#include "view3d/Heights.h"
#include "view3d/Matrix4.h"

#include <cstdint>
#include <cstring>

namespace trelvano {

// A depth as the depth buffer keeps it: the upper half of the float's bits,
// which orders positive depths as the floats do, to a 256th of their value.
inline uint16_t packedDepth(float d) {
  uint32_t bits;
  std::memcpy(&bits, &d, sizeof bits);
  return static_cast<uint16_t>(bits >> 16);
}

// Rows [top, bottom) of a picture and the depth of each of its pixels:
// 1 / w of the surface drawn there (nearer is larger), 0 where none is.
struct DepthTarget {
  uint32_t* bits = nullptr;   // Format_RGB32 pixels
  uint16_t* depth = nullptr;  // width × height, packed
  int stride = 0;             // pixels per picture line
  int width = 0, height = 0;
  int top = 0, bottom = 0;
};

// The depth (1 / w, 0 at or behind the eye) of an entry of an array whose
// heights are drawn as `kind`.
struct StrokeDepth {
  Matrix4 view{};
  HeightRule rule;
  HeightKind kind = HeightKind::AsStored;

  float invW(const FlightPoint& p, int64_t index) const {
    const auto& m = view.m;
    const double z = rule.drawnZ(kind, index, p.X, p.Y, p.Z);
    const double w = p.X * m[0][3] + p.Y * m[1][3] + z * m[2][3] + m[3][3];
    return w > 0 ? static_cast<float>(1.0 / w) : 0.0f;
  }
};

}  // namespace trelvano
