#pragma once
// What the readers of rasters share inside import/: the one header besides
// Raster.h that names GDAL's types, included only by Raster.cpp,
// ElevationRaster.cpp and MapRaster.cpp.

#include "import/Raster.h"

#include <QString>

#include <gdal_priv.h>
#include <ogr_spatialref.h>

#include <memory>
#include <string>

namespace trelvano::gdal {

// Once per process: GDAL's drivers, a bounded block cache, its messages kept
// for the log instead of printed.
void setUp();

// Opens `path` (a file, or any name GDAL opens: /vsizip/…, /vsimem/…) as a
// raster, read-only; null when GDAL cannot.
GDALDatasetUniquePtr open(const QString& path);

bool numericType(GDALDataType t);

// WGS 84 degrees, longitude first.
OGRSpatialReference wgs84();
// `srs` is WGS 84 in degrees (positions need no transformation).
bool isWgs84Degrees(const OGRSpatialReference& srs);

using Transformation = std::unique_ptr<OGRCoordinateTransformation>;
// Null when PROJ knows no way between the two.
Transformation transformation(const OGRSpatialReference& from, const OGRSpatialReference& to);

// The geotransform places a picture: finite, invertible, and every corner
// within a few times the Earth's size (a world file of zeros or 1e300 does not).
bool placesPicture(const double gt[6], int width, int height);

// The part of a raster of `width` × `height` pixels (geotransform `gt` in
// `srs`) that lies on the Earth, in degrees: from a lattice of points over
// it, and a pole inside it reaches to 90°. Empty when no point lies on the Earth.
GeoBox extentInDegrees(const double gt[6], int width, int height, const OGRSpatialReference& srs);

}  // namespace trelvano::gdal
