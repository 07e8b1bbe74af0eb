#include "import/MapDrapeLoader.h"

#include "import/TerrainLoader.h"

#include <algorithm>

namespace trelvano {

MapDrapeBuild buildMapDrape(const FlightData& data, const QString& path, const GroundGrid* grid) {
  MapDrapeBuild b;
  GroundGrid& g = b.drape;
  if (grid)
    g = *grid;
  else
    g = data.Terrain.empty() ? groundGridFor(data, 0) : static_cast<const GroundGrid&>(data.Terrain);
  g.serial = newGroundSerial();
  std::vector<double> lon, lat;
  nodePositions(g, flightOrigin(data), lon, lat);
  MapTexture texture;
  b.facts = sampleMap(path, lon, lat, g.columns, g.rows, texture);
  b.drape.detail = texture.detail;
  b.drape.texelColumns = texture.columns;
  b.drape.texelRows = texture.rows;
  b.drape.texel = std::move(texture.colour);
  b.coversFlight = std::any_of(b.drape.texel.begin(), b.drape.texel.end(), [](int32_t c) { return c >= 0; });
  return b;
}

}  // namespace trelvano
