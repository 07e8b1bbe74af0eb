// Elevation files through GDAL: SRTM tiles (also inside zip archives) and
// one-band GeoTIFFs in any coordinate system, read on their own posts.
#include "import/GdalRaster.h"
#include "import/LocalFrame.h"
#include "import/TextLines.h"
#include "model/RunError.h"

#include <QFile>
#include <QFileInfo>

#include <cpl_conv.h>
#include <cpl_vsi.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace trelvano {
namespace {

constexpr float kVoid = std::numeric_limits<float>::quiet_NaN();
constexpr float kSrtmVoid = -32768.0f;
// Posts read at once at most (a 1″ tile has 3601² ≈ 13 million); a larger
// window is read at a coarser spacing.
constexpr double kMaxElevationPoints = 16e6;
// Posts per side of the sample that checks a whole file, and of the closer
// look when that sample holds only voids.
constexpr int kSampleSide = 256;
constexpr int kCloserSide = 4096;

struct ElevationFile {
  GDALDatasetUniquePtr ds;
  GDALRasterBand* band = nullptr;
  OGRSpatialReference srs;
  bool wgs84 = false;  // positions in degrees need no transformation
  double gt[6] = {}, inverse[6] = {};
  int width = 0, height = 0;
  bool hasNoData = false;
  double noData = 0;
};

RunError invalid(const QString& path) { return inFile(RunError::invalidTerrain(), rasterDisplayName(path)); }

ElevationFile openElevation(const QString& path) {
  ElevationFile f;
  f.ds = gdal::open(path);
  if (!f.ds) throw invalid(path);
  GDALDataset& ds = *f.ds;
  if (ds.GetRasterCount() != 1 || ds.GetRasterXSize() < 2 || ds.GetRasterYSize() < 2) throw invalid(path);
  f.band = ds.GetRasterBand(1);
  if (!gdal::numericType(f.band->GetRasterDataType()) || f.band->GetColorTable()) throw invalid(path);
  const OGRSpatialReference* srs = ds.GetSpatialRef();
  if (!srs || ds.GetGeoTransform(f.gt) != CE_None) throw invalid(path);
  f.width = ds.GetRasterXSize();
  f.height = ds.GetRasterYSize();
  if (!gdal::placesPicture(f.gt, f.width, f.height) || !GDALInvGeoTransform(f.gt, f.inverse)) throw invalid(path);
  f.srs = *srs;
  f.srs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  f.wgs84 = gdal::isWgs84Degrees(f.srs);
  int has = 0;
  f.noData = f.band->GetNoDataValue(&has);
  f.hasNoData = has != 0;
  return f;
}

// Voids become NaN; a height out of range makes the file invalid. Whether
// any height is left.
bool markVoids(std::vector<float>& heights, const ElevationFile& f, const QString& path) {
  const float noData = f.hasNoData ? float(f.noData) : kSrtmVoid;
  const auto lowest = float(kLowestHeight), highest = float(kHighestHeight);
  bool any = false, outside = false;
  for (float& h : heights) {
    if (h >= lowest && h <= highest && h != noData) {  // nearly every post: one well-predicted branch
      any = true;
      continue;
    }
    if (std::isnan(h) || h == kSrtmVoid || h == noData)
      h = kVoid;
    else
      outside = true;
  }
  if (outside) throw invalid(path);
  return any;
}

// Reads the whole file at most side × side posts (nearest ones) and checks them.
bool sampleHasHeights(const ElevationFile& f, const QString& path, int side) {
  const int columns = std::min(f.width, side), rows = std::min(f.height, side);
  std::vector<float> sample(size_t(columns) * rows);
  if (f.band->RasterIO(GF_Read, 0, 0, f.width, f.height, sample.data(), columns, rows, GDT_Float32, 0, 0, nullptr) !=
      CE_None)
    throw invalid(path);
  return markVoids(sample, f, path);
}

// Checks the file as a whole: its heights in range and some there at all.
void checkWholeFile(const ElevationFile& f, const QString& path) {
  if (sampleHasHeights(f, path, kSampleSide)) return;
  if (std::max(f.width, f.height) <= kSampleSide || !sampleHasHeights(f, path, kCloserSide)) throw invalid(path);
}

// The file's system from degrees, or null when positions are degrees already.
gdal::Transformation fromDegrees(const OGRSpatialReference& srs, bool wgs84) {
  if (wgs84) return nullptr;
  return gdal::transformation(gdal::wgs84(), srs);
}

// Points given in degrees to fractional pixels of a geotransform's inverse.
void toPixels(OGRCoordinateTransformation* t, const double inverse[6], size_t n, double* x, double* y) {
  std::vector<int> ok(n, 1);
  if (t && n) t->Transform(int(n), x, y, nullptr, ok.data());
  for (size_t k = 0; k < n; ++k) {
    if (!ok[k] || !std::isfinite(x[k]) || !std::isfinite(y[k])) {
      x[k] = y[k] = std::numeric_limits<double>::quiet_NaN();
      continue;
    }
    const double px = inverse[0] + x[k] * inverse[1] + y[k] * inverse[2];
    const double py = inverse[3] + x[k] * inverse[4] + y[k] * inverse[5];
    x[k] = px, y[k] = py;
  }
}

// Between the outermost posts: neighbouring SRTM tiles share their edge
// posts, so each covers its own square degree and no more.
GeoBox postBounds(const ElevationFile& f) {
  double g[6];
  std::copy(f.gt, f.gt + 6, g);
  g[0] += 0.5 * f.gt[1] + 0.5 * f.gt[2];
  g[3] += 0.5 * f.gt[4] + 0.5 * f.gt[5];
  return gdal::extentInDegrees(g, f.width - 1, f.height - 1, f.srs);
}

}  // namespace

ElevationFacts elevationFacts(const QString& path) {
  const ElevationFile f = openElevation(path);
  ElevationFacts facts;
  facts.bounds = postBounds(f);
  if (facts.bounds.empty()) throw invalid(path);
  const double rowStep = std::hypot(f.gt[2], f.gt[5]), columnStep = std::hypot(f.gt[1], f.gt[4]);
  facts.spacing =
      f.srs.IsGeographic() ? rowStep * kMetresPerDegree : std::min(rowStep, columnStep) * f.srs.GetLinearUnits();
  return facts;
}

void checkElevationFile(const QString& path) { checkWholeFile(openElevation(path), path); }

QStringList elevationMembers(const QString& path) {
  if (!path.endsWith(QLatin1String(".zip"), Qt::CaseInsensitive)) return {path};
  gdal::setUp();
  const QString archive = QStringLiteral("/vsizip/") + QFileInfo(path).absoluteFilePath();
  char** members = VSIReadDirRecursive(QFile::encodeName(archive).constData());
  QStringList found;
  for (int k = 0; members && members[k]; ++k) {
    const QString member = QString::fromUtf8(members[k]);
    for (const char* suffix : {".hgt", ".tif", ".tiff"})
      if (member.endsWith(QLatin1String(suffix), Qt::CaseInsensitive)) found << archive + QLatin1Char('/') + member;
  }
  CSLDestroy(members);
  if (found.isEmpty()) throw inFile(RunError::invalidTerrain(), QFileInfo(path).fileName());
  return found;
}

ElevationPatch readElevation(const QString& path, const GeoBox& box) {
  const ElevationFile f = openElevation(path);
  ElevationPatch patch;
  if (box.empty()) return patch;
  // The box's edges among the file's posts (post i centred on pixel i + ½).
  constexpr int kEdgeSteps = 16;
  std::vector<double> x, y;
  for (int k = 0; k <= kEdgeSteps; ++k) {
    const double u = double(k) / kEdgeSteps;
    const double lon = box.west + u * (box.east - box.west), lat = box.south + u * (box.north - box.south);
    x.insert(x.end(), {lon, lon, box.west, box.east});
    y.insert(y.end(), {box.south, box.north, lat, lat});
  }
  const gdal::Transformation t = fromDegrees(f.srs, f.wgs84);
  if (!f.wgs84 && !t) return patch;
  toPixels(t.get(), f.inverse, x.size(), x.data(), y.data());
  double cMin = INFINITY, cMax = -INFINITY, rMin = INFINITY, rMax = -INFINITY;
  for (size_t k = 0; k < x.size(); ++k) {
    if (std::isnan(x[k])) continue;
    cMin = std::min(cMin, x[k] - 0.5), cMax = std::max(cMax, x[k] - 0.5);
    rMin = std::min(rMin, y[k] - 0.5), rMax = std::max(rMax, y[k] - 0.5);
  }
  if (!(cMax >= 0 && rMax >= 0 && cMin <= f.width - 1 && rMin <= f.height - 1)) return patch;
  const int c0 = std::max(0, int(std::floor(cMin)) - 1), c1 = std::min(f.width - 1, int(std::ceil(cMax)) + 1);
  const int r0 = std::max(0, int(std::floor(rMin)) - 1), r1 = std::min(f.height - 1, int(std::ceil(rMax)) + 1);
  const int width = c1 - c0 + 1, height = r1 - r0 + 1;
  const double scale = std::max(1.0, std::sqrt(double(width) * height / kMaxElevationPoints));
  patch.columns = std::max(2, int(std::ceil(width / scale)));
  patch.rows = std::max(2, int(std::ceil(height / scale)));
  // Post (c, r) of the patch is the centre of its share of the window.
  const double sx = double(width) / patch.columns, sy = double(height) / patch.rows;
  const double px = c0 + 0.5 * sx, py = r0 + 0.5 * sy;
  const double* gt = f.gt;
  patch.g[0] = gt[0] + px * gt[1] + py * gt[2];
  patch.g[1] = sx * gt[1];
  patch.g[2] = sy * gt[2];
  patch.g[3] = gt[3] + px * gt[4] + py * gt[5];
  patch.g[4] = sx * gt[4];
  patch.g[5] = sy * gt[5];
  if (!f.wgs84) {
    char* wkt = nullptr;
    f.srs.exportToWkt(&wkt);
    patch.system = QByteArray(wkt ? wkt : "");
    CPLFree(wkt);
  }
  patch.height.resize(size_t(patch.columns) * patch.rows);
  GDALRasterIOExtraArg extra;
  INIT_RASTERIO_EXTRA_ARG(extra);
  extra.eResampleAlg = GRIORA_Bilinear;
  if (f.band->RasterIO(GF_Read, c0, r0, width, height, patch.height.data(), patch.columns, patch.rows, GDT_Float32, 0,
                       0, &extra) != CE_None)
    throw invalid(path);
  // Only voids here: the file must have heights elsewhere, or it is none.
  if (!markVoids(patch.height, f, path)) checkWholeFile(f, path);
  return patch;
}

void postPositions(const ElevationPatch& patch, const double* lon, const double* lat, size_t n, double* column,
                   double* row) {
  std::copy(lon, lon + n, column);
  std::copy(lat, lat + n, row);
  double inverse[6];
  if (!GDALInvGeoTransform(const_cast<double*>(patch.g), inverse)) {
    std::fill(column, column + n, std::numeric_limits<double>::quiet_NaN());
    return;
  }
  gdal::Transformation t;
  if (!patch.system.isEmpty()) {
    gdal::setUp();
    OGRSpatialReference srs;
    if (srs.importFromWkt(patch.system.constData()) != OGRERR_NONE) {
      std::fill(column, column + n, std::numeric_limits<double>::quiet_NaN());
      return;
    }
    srs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    t = gdal::transformation(gdal::wgs84(), srs);
    if (!t) {
      std::fill(column, column + n, std::numeric_limits<double>::quiet_NaN());
      return;
    }
  }
  toPixels(t.get(), inverse, n, column, row);
}

}  // namespace trelvano
