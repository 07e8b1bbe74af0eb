#pragma once
// The ground under the flight: heights on a regular grid in the flight's
// local frame (108,000 m per degree, as every other layer), and the colours
// a georeferenced map lays on the ground.

#include <atomic>
#include <cmath>
#include <cstdint>
#include <vector>

#include <QString>
#include <QStringList>

namespace trelvano {

// A regular grid in the local frame. Node (c, r) lies at
//   X = x0 - c * step   (X grows towards west, so columns run east),
//   Y = y0 + r * step   (rows run north);
// node (0, 0) is the south-west corner. Values are row-major from the south.
// A number of its own for every grid made (a copy keeps it): what is drawn
// from a grid is kept until the grid is another one, without reading it.
inline uint64_t newGroundSerial() {
  static std::atomic<uint64_t> last{0};
  return ++last;
}

struct GroundGrid {
  uint64_t serial = newGroundSerial();  // set again by whoever refills a grid in place
  int columns = 0;
  int rows = 0;
  double x0 = 0;    // metres, local frame X of node (0, 0)
  double y0 = 0;    // metres, local frame Y of node (0, 0)
  double step = 0;  // metres between neighbouring nodes

  bool empty() const { return columns < 2 || rows < 2; }
  int index(int c, int r) const { return r * columns + c; }
  double nodeX(int c) const { return x0 - c * step; }
  double nodeY(int r) const { return y0 + r * step; }
};

// Heights of the ground, metres above sea level (NaN = no elevation file
// covers this node; such cells are left out of the picture).
struct TerrainGrid : GroundGrid {
  std::vector<float> height;  // columns * rows
  float minHeight = 0;        // over the covered nodes
  float maxHeight = 0;
};

// A map warped into the local frame over the cells of a ground grid (the
// terrain's, or one chosen as the terrain's would be): `detail` × `detail`
// texels per cell, as fine as the map is there. Texel (tc, tr) lies in cell
// (tc / detail, tr / detail), at ((tc % detail + ½) / detail, (tr % detail +
// ½) / detail) of the way from its node (c, r) to its node (c + 1, r + 1).
struct MapDrape : GroundGrid {
  int detail = 1;
  int texelColumns = 0, texelRows = 0;  // (columns − 1) × detail, (rows − 1) × detail
  std::vector<int32_t> texel;           // row-major from the south, $00BBGGRR, -1 where the map does not cover
};

// What the status bar and the dump report of the loaded terrain.
struct TerrainInfo {
  QStringList tiles;          // names of the elevation files in use
  QStringList missingTiles;   // 1° tiles under the grid that no file covers, e.g. "N47E012"
  QStringList unusableTiles;  // tiles of the terrain folder left out: "<error text>: <file name>"
  int filledVoids = 0;        // posts that had no value and were filled from their neighbours (small voids only)
  // Metres above sea level of the ground under each point of the flight, NaN
  // where no file has all four posts around it.
  std::vector<double> groundUnderPoints;
};

inline bool hasHeight(float h) { return !std::isnan(h); }

}  // namespace trelvano
