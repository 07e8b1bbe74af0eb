#pragma once
// Synthetic terrain grids and maps for the terrain benchmarks and tests:
// regular grids centred on the flight's origin, filled from a function.

#include "model/FlightData.h"

#include <algorithm>
#include <cmath>

namespace trelvano {

// columns × rows nodes `step` metres apart around the origin, at the heights
// height(X, Y) gives (metres above sea level; NaN: no data).
template <class Height>
void makeTerrain(TerrainGrid& grid, int columns, int rows, double step, Height height) {
  grid.serial = newGroundSerial();
  grid.columns = columns;
  grid.rows = rows;
  grid.step = step;
  grid.x0 = 0.5 * (columns - 1) * step;  // X grows towards west, so column 0 is the west edge
  grid.y0 = -0.5 * (rows - 1) * step;
  grid.height.assign(static_cast<size_t>(columns) * rows, 0.0f);
  grid.minHeight = 1e30f;
  grid.maxHeight = -1e30f;
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < columns; ++c) {
      const float h = static_cast<float>(height(grid.nodeX(c), grid.nodeY(r)));
      grid.height[grid.index(c, r)] = h;
      if (hasHeight(h)) grid.minHeight = std::min(grid.minHeight, h), grid.maxHeight = std::max(grid.maxHeight, h);
    }
}

// The same for a map over the grid's cells, `detail` texels per cell side:
// colour(X, Y) at each texel's centre gives $00BBGGRR or -1 where it does not cover.
template <class Colour>
void makeDrape(MapDrape& map, int columns, int rows, double step, Colour colour, int detail = 1) {
  map.serial = newGroundSerial();
  map.columns = columns;
  map.rows = rows;
  map.step = step;
  map.x0 = 0.5 * (columns - 1) * step;
  map.y0 = -0.5 * (rows - 1) * step;
  map.detail = detail;
  map.texelColumns = (columns - 1) * detail;
  map.texelRows = (rows - 1) * detail;
  map.texel.assign(static_cast<size_t>(map.texelColumns) * map.texelRows, -1);
  for (int r = 0; r < map.texelRows; ++r)
    for (int c = 0; c < map.texelColumns; ++c)
      map.texel[static_cast<size_t>(r) * map.texelColumns + c] =
          colour(map.x0 - (c + 0.5) * step / detail, map.y0 + (r + 0.5) * step / detail);
}

// Rolling hills 10 km across, 512 × 512 nodes, a few hundred metres below a
// flight that starts at `start` metres, and a checkered map over its eastern
// half, with a finer checker of 10 m in its texels (four per cell side).
inline void addSyntheticTerrain(FlightData& d, int nodes = 512) {
  d.StartAltitude = 600;
  const double step = 10240.0 / nodes;
  makeTerrain(d.Terrain, nodes, nodes, step, [](double x, double y) {
    return 480 + 140 * std::sin(x / 900) * std::cos(y / 700) + 60 * std::sin((x + 2 * y) / 350);
  });
  makeDrape(
      d.GeoMap, nodes, nodes, step,
      [](double x, double y) {
        if (x > 0) return -1;  // west of the origin: no map
        const bool dark = (static_cast<int>(std::floor(x / 400)) + static_cast<int>(std::floor(y / 400))) % 2 != 0;
        const bool fine = (static_cast<int>(std::floor(x / 10)) + static_cast<int>(std::floor(y / 10))) % 2 != 0;
        return (dark ? 0x00306080 : 0x0060A0C0) + (fine ? 0x00101010 : 0);
      },
      4);
  ++d.SceneVersion;
}

}  // namespace trelvano
