#pragma once
// A georeferenced map (GeoTIFF, a picture with a world file, MBTiles) warped
// onto a grid in the flight's local frame.

#include "import/Raster.h"
#include "model/FlightData.h"
#include "model/Terrain.h"

#include <QString>

namespace trelvano {

struct MapDrapeBuild {
  MapDrape drape;
  MapFacts facts;
  bool coversFlight = false;  // some node has a colour
};

// The map of `path` on the nodes of `grid`, or else of the terrain grid when
// one is loaded, else of a grid chosen around the flight as the terrain's
// would be. Throws as sampleMap does; changes nothing in `data`.
MapDrapeBuild buildMapDrape(const FlightData& data, const QString& path, const GroundGrid* grid = nullptr);

}  // namespace trelvano
