#include "import/MapDrapeLoader.h"

#include "import/TerrainLoader.h"

#include <QFileInfo>

#include <algorithm>

namespace trelvano {

bool hasWorldFile(const QString& path) {
  const QFileInfo file(path);
  const QString suffix = file.suffix();
  if (suffix.size() < 2) return false;
  const QString stem = file.path() + QLatin1Char('/') + file.completeBaseName() + QLatin1Char('.');
  for (const QString& candidate :
       {QString(suffix.front()) + suffix.back() + QLatin1Char('w'), suffix + QLatin1Char('w'), QStringLiteral("wld")})
    for (const QString& s : {candidate.toLower(), candidate.toUpper()})
      if (QFileInfo(stem + s).isFile()) return true;
  return false;
}

MapDrapeBuild buildMapDrape(const FlightData& data, const QString& path, const GroundGrid* grid) {
  MapDrapeBuild b;
  GroundGrid& g = b.drape;
  if (grid)
    g = *grid;
  else
    g = data.Terrain.empty() ? groundGridFor(data, 0) : static_cast<const GroundGrid&>(data.Terrain);
  std::vector<double> lon, lat;
  nodePositions(g, flightOrigin(data), lon, lat);
  b.facts = sampleMap(path, lon, lat, g.columns, g.rows, b.drape.colour);
  b.coversFlight = std::any_of(b.drape.colour.begin(), b.drape.colour.end(), [](int32_t c) { return c >= 0; });
  return b;
}

}  // namespace trelvano
