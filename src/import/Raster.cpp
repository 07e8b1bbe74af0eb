#include "import/GdalRaster.h"

#include <QFile>
#include <QFileInfo>

#include <cpl_conv.h>
#include <cpl_error.h>
#include <cpl_vsi.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <mutex>
#include <string>
#include <vector>

namespace trelvano {
namespace {

std::mutex messageLock;
std::string lastMessage;

void CPL_STDCALL keepMessage(CPLErr, CPLErrorNum, const char* message) {
  const std::lock_guard<std::mutex> lock(messageLock);
  lastMessage = message ? message : "";
}

// Projected systems reach a few times 10,000 km; beyond this no picture lies on the Earth.
constexpr double kFarthestCoordinate = 1e9;

}  // namespace

namespace gdal {

void setUp() {
  static std::once_flag once;
  std::call_once(once, [] {
    CPLSetConfigOption("GDAL_NUM_THREADS", "2");
    CPLSetConfigOption("GDAL_PAM_ENABLED", "NO");
    CPLSetErrorHandler(keepMessage);
    GDALSetCacheMax64(int64_t{32} << 20);
    GDALAllRegister();
  });
}

GDALDatasetUniquePtr open(const QString& path) {
  setUp();
  const QByteArray name = QFile::encodeName(path);
  // GDAL keeps a zip's directory by the archive's path while its size and time
  // look the same: a member of an archive rewritten in place is still listed but
  // no longer opens, and a driver would read through the missing file.
  if (path.startsWith(QLatin1String("/vsi"))) {
    VSILFILE* member = VSIFOpenL(name.constData(), "rb");
    if (!member) return nullptr;
    VSIFCloseL(member);
  }
  return GDALDatasetUniquePtr(GDALDataset::Open(name.constData(), GDAL_OF_RASTER | GDAL_OF_READONLY));
}

bool numericType(GDALDataType t) {
  switch (t) {
    case GDT_Int16:
    case GDT_UInt16:
    case GDT_Int32:
    case GDT_UInt32:
    case GDT_Float32:
    case GDT_Float64: return true;
    default: return false;
  }
}

OGRSpatialReference wgs84() {
  OGRSpatialReference srs;
  srs.SetWellKnownGeogCS("WGS84");
  srs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  return srs;
}

bool isWgs84Degrees(const OGRSpatialReference& srs) {
  // A raster's geotransform gives longitude first whatever its system's axis order.
  const OGRSpatialReference reference = wgs84();
  return srs.IsGeographic() && srs.IsSameGeogCS(&reference);
}

Transformation transformation(const OGRSpatialReference& from, const OGRSpatialReference& to) {
  return Transformation(OGRCreateCoordinateTransformation(&from, &to));
}

bool placesPicture(const double gt[6], int width, int height) {
  for (int k = 0; k < 6; ++k)
    if (!std::isfinite(gt[k])) return false;
  if (!(std::abs(gt[1] * gt[5] - gt[2] * gt[4]) > 0)) return false;
  for (const double px : {0.0, double(width)})
    for (const double py : {0.0, double(height)}) {
      const double x = gt[0] + px * gt[1] + py * gt[2], y = gt[3] + px * gt[4] + py * gt[5];
      if (!(std::abs(x) < kFarthestCoordinate && std::abs(y) < kFarthestCoordinate)) return false;
    }
  return true;
}

GeoBox extentInDegrees(const double gt[6], int width, int height, const OGRSpatialReference& srs) {
  if (isWgs84Degrees(srs)) {
    // Degrees already (most elevation tiles): the corners, without asking PROJ for a transformation.
    GeoBox b{INFINITY, INFINITY, -INFINITY, -INFINITY};
    for (const double px : {0.0, double(width)})
      for (const double py : {0.0, double(height)}) {
        const double x = gt[0] + px * gt[1] + py * gt[2], y = gt[3] + px * gt[4] + py * gt[5];
        b.west = std::min(b.west, x), b.east = std::max(b.east, x);
        b.south = std::min(b.south, y), b.north = std::max(b.north, y);
      }
    return {std::max(b.west, -180.0), std::max(b.south, -90.0), std::min(b.east, 180.0), std::min(b.north, 90.0)};
  }
  const OGRSpatialReference geographic = wgs84();
  const Transformation toWgs84 = transformation(srs, geographic);
  const Transformation toRaster = transformation(geographic, srs);
  GeoBox b{std::numeric_limits<double>::max(), std::numeric_limits<double>::max(), -std::numeric_limits<double>::max(),
           -std::numeric_limits<double>::max()};
  if (!toWgs84) return {};
  // A lattice rather than the edges alone: a map around a pole has its
  // farthest latitudes inside.
  constexpr int kSteps = 32;
  std::vector<double> x, y;
  for (int j = 0; j <= kSteps; ++j)
    for (int i = 0; i <= kSteps; ++i) {
      const double px = width * double(i) / kSteps, py = height * double(j) / kSteps;
      x.push_back(gt[0] + px * gt[1] + py * gt[2]);
      y.push_back(gt[3] + px * gt[4] + py * gt[5]);
    }
  std::vector<int> ok(x.size());
  toWgs84->Transform(int(x.size()), x.data(), y.data(), nullptr, ok.data());
  for (size_t k = 0; k < x.size(); ++k) {
    if (!ok[k] || !std::isfinite(x[k]) || !std::isfinite(y[k]) || std::abs(y[k]) > 90) continue;
    b.west = std::min(b.west, x[k]);
    b.east = std::max(b.east, x[k]);
    b.south = std::min(b.south, y[k]);
    b.north = std::max(b.north, y[k]);
  }
  if (b.west > b.east) return {};
  // A pole inside the picture: the box reaches it, around the whole Earth.
  double inverse[6];
  if (toRaster && GDALInvGeoTransform(const_cast<double*>(gt), inverse)) {
    for (const double pole : {90.0, -90.0}) {
      double px = 0, py = pole;
      int in = 0;
      if (!toRaster->Transform(1, &px, &py, nullptr, &in) || !in) continue;
      const double c = inverse[0] + px * inverse[1] + py * inverse[2];
      const double r = inverse[3] + px * inverse[4] + py * inverse[5];
      if (c >= 0 && c <= width && r >= 0 && r <= height) {
        (pole > 0 ? b.north : b.south) = pole;
        b.west = -180;
        b.east = 180;
      }
    }
  }
  b.west = std::max(b.west, -180.0);
  b.east = std::min(b.east, 180.0);
  return b;
}

}  // namespace gdal

bool describeRaster(const QString& path, RasterFacts& facts) {
  GDALDatasetUniquePtr ds = gdal::open(path);
  if (!ds) return false;
  facts.driver = QString::fromUtf8(ds->GetDriver()->GetDescription());
  facts.width = ds->GetRasterXSize();
  facts.height = ds->GetRasterYSize();
  facts.bands = ds->GetRasterCount();
  if (facts.bands > 0) {
    GDALRasterBand* band = ds->GetRasterBand(1);
    facts.palette = band->GetColorTable() != nullptr;
    facts.numeric = gdal::numericType(band->GetRasterDataType());
  }
  facts.hasCrs = ds->GetSpatialRef() != nullptr;
  double gt[6];
  facts.hasGeoTransform = ds->GetGeoTransform(gt) == CE_None;
  return true;
}

QString rasterDisplayName(const QString& path) {
  static const QString zip = QStringLiteral("/vsizip/");
  if (!path.startsWith(zip)) return QFileInfo(path).fileName();
  // "/vsizip/<archive>.zip/<member>": the archive alone when the member is its namesake.
  const qsizetype end = path.lastIndexOf(QLatin1String(".zip/"), -1, Qt::CaseInsensitive);
  if (end < 0) return QFileInfo(path).fileName();
  const QString archive = QFileInfo(path.mid(zip.size(), end + 4 - zip.size())).fileName();
  const QString member = path.mid(end + 5);
  if (archive.compare(member + QLatin1String(".zip"), Qt::CaseInsensitive) == 0) return archive;
  return archive + QLatin1Char('/') + member;
}

bool ellipsoidToGeoid(const double* lat, const double* lon, double* height, int n) {
  gdal::setUp();
  OGRSpatialReference ellipsoidal, geoid;
  if (ellipsoidal.importFromEPSG(4979) != OGRERR_NONE || geoid.SetFromUserInput("EPSG:4326+5773") != OGRERR_NONE)
    return false;
  ellipsoidal.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  geoid.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  const gdal::Transformation t = gdal::transformation(ellipsoidal, geoid);
  if (!t || n <= 0) return false;
  std::vector<double> x(lon, lon + n), y(lat, lat + n), z(height, height + n);
  std::vector<int> ok(n);
  if (!t->Transform(n, x.data(), y.data(), z.data(), ok.data())) return false;
  // Without the grid PROJ falls back to a transformation that leaves the heights alone.
  bool changed = false;
  for (int k = 0; k < n; ++k) changed = changed || (ok[k] && std::abs(z[k] - height[k]) > 1e-6);
  if (!changed) return false;
  for (int k = 0; k < n; ++k)
    if (ok[k]) height[k] = z[k];
  return true;
}

QString lastRasterMessage() {
  const std::lock_guard<std::mutex> lock(messageLock);
  return QString::fromStdString(lastMessage);
}

}  // namespace trelvano
