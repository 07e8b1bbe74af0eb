#pragma once
// The heights the 3D view draws: the flight's Z times the exaggeration, and
// the shadow and the plumb lines' feet on the ground under each point.

#include "model/FlightData.h"
#include "view3d/Layers.h"

namespace trelvano {

// How an array's stored Z becomes the Z that is projected.
enum class HeightKind {
  AsStored,    // grid, arrow, maps: on the ground plane as stored
  Flight,      // Z times the exaggeration
  Ground,      // on the ground under the point (Z 0 without terrain)
  PlumbPairs,  // entry 2i the flight point (Flight), entry 2i + 1 its foot (Ground)
};

struct HeightRule {
  double scale = 1.0;                   // the exaggeration
  const TerrainGrid* ground = nullptr;  // the terrain shown, or null
  double startAltitude = 0;             // metres above sea level of Z 0

  // Nothing to change: every array is projected as stored.
  bool plain() const { return scale == 1.0 && !ground; }

  // Z of the ground under (x, y) in the local frame, exaggerated: the terrain
  // interpolated between its four surrounding nodes (those without a height
  // left out), or 0 where no terrain lies under the point.
  double groundZ(double x, double y) const;

  // The Z that is projected for entry `index` of an array of `kind` stored at `z`.
  double drawnZ(HeightKind kind, int64_t index, double x, double y, double z) const {
    switch (kind) {
      case HeightKind::AsStored: return z;
      case HeightKind::Flight: return z * scale;
      case HeightKind::Ground: return ground ? groundZ(x, y) : z * scale;
      case HeightKind::PlumbPairs: return index % 2 == 0 ? z * scale : ground ? groundZ(x, y) : z * scale;
    }
    return z;
  }
};

// The terrain surface (the heights, or a draped map while "Karte" is checked) is drawn.
inline bool surfaceShown(const FlightData& data, const Layers& layers) {
  return layers.Gelaende && (!data.Terrain.empty() || (layers.Karte && !data.GeoMap.empty()));
}

// The rule of this redraw: terrain only while it is loaded and switched on.
inline HeightRule heightRule(const FlightData& data, const Layers& layers) {
  HeightRule r;
  r.scale = data.Exaggeration;
  if (layers.Gelaende && !data.Terrain.empty() &&
      data.Terrain.height.size() >= static_cast<size_t>(data.Terrain.columns) * data.Terrain.rows)
    r.ground = &data.Terrain;
  r.startAltitude = data.StartAltitude;
  return r;
}

}  // namespace trelvano
