#include "import/Raster.h"

#include "import/TextLines.h"
#include "model/RunError.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>

#include <cpl_conv.h>
#include <cpl_error.h>
#include <cpl_vsi.h>
#include <gdal_priv.h>
#include <gdalwarper.h>
#include <ogr_spatialref.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <mutex>
#include <string>

namespace trelvano {
namespace {

constexpr float kNoHeight = std::numeric_limits<float>::quiet_NaN();
// Elevation points read at once at most (a 1″ tile has 3601² ≈ 13 million);
// a larger window is read at a coarser spacing.
constexpr double kMaxElevationPoints = 16e6;

std::mutex messageLock;
std::string lastMessage;

void CPL_STDCALL keepMessage(CPLErr, CPLErrorNum, const char* message) {
  const std::lock_guard<std::mutex> lock(messageLock);
  lastMessage = message ? message : "";
}

// Once per process: GDAL's drivers, a bounded block cache, two threads for
// decoding, no side files written, and its messages kept instead of printed.
void setUpGdal() {
  static std::once_flag once;
  std::call_once(once, [] {
    CPLSetConfigOption("GDAL_NUM_THREADS", "2");
    CPLSetConfigOption("GDAL_PAM_ENABLED", "NO");
    CPLSetErrorHandler(keepMessage);
    GDALSetCacheMax64(int64_t{32} << 20);
    GDALAllRegister();
  });
}

QString fileNameOf(const QString& path) { return QFileInfo(path).fileName(); }

// The name GDAL opens: a zipped tile is the .hgt inside its archive.
std::string gdalName(const QString& path) {
  const std::string local = QFile::encodeName(path).toStdString();
  if (!path.endsWith(QLatin1String(".zip"), Qt::CaseInsensitive)) return local;
  const std::string archive = "/vsizip/" + local;
  char** members = VSIReadDir(archive.c_str());
  std::string inside;
  for (int k = 0; members && members[k]; ++k) {
    const QString member = QString::fromUtf8(members[k]);
    if (member.endsWith(QLatin1String(".hgt"), Qt::CaseInsensitive) ||
        member.endsWith(QLatin1String(".tif"), Qt::CaseInsensitive)) {
      inside = members[k];
      break;
    }
  }
  CSLDestroy(members);
  return inside.empty() ? archive : archive + "/" + inside;
}

GDALDatasetUniquePtr openRaster(const QString& path) {
  setUpGdal();
  return GDALDatasetUniquePtr(GDALDataset::Open(gdalName(path).c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY));
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

// An elevation file opened for reading in degrees: the file itself when it
// is north-up in geographic coordinates, else a warped view of it in WGS 84.
struct ElevationSource {
  GDALDatasetUniquePtr file;
  GDALDatasetUniquePtr warped;  // reads through `file`: closed first (declared later)
  GDALDataset* dataset = nullptr;
  double gt[6] = {};
  int width = 0, height = 0;

  ~ElevationSource() { warped.reset(); }
};

void openElevation(const QString& path, ElevationSource& src) {
  const auto invalid = [&] { return inFile(RunError::invalidTerrain(), fileNameOf(path)); };
  src.file = openRaster(path);
  if (!src.file) throw invalid();
  GDALDataset& ds = *src.file;
  if (ds.GetRasterCount() != 1 || ds.GetRasterXSize() < 2 || ds.GetRasterYSize() < 2) throw invalid();
  GDALRasterBand* band = ds.GetRasterBand(1);
  if (!numericType(band->GetRasterDataType()) || band->GetColorTable()) throw invalid();
  const OGRSpatialReference* srs = ds.GetSpatialRef();
  double gt[6];
  if (!srs || ds.GetGeoTransform(gt) != CE_None) throw invalid();
  const bool plain = srs->IsGeographic() && gt[2] == 0 && gt[4] == 0 && gt[1] > 0 && gt[5] < 0;
  src.dataset = &ds;
  if (!plain) {
    char* wkt = nullptr;
    OGRSpatialReference target = wgs84();
    target.exportToWkt(&wkt);
    GDALDatasetH view = GDALAutoCreateWarpedVRT(GDALDataset::ToHandle(&ds), nullptr, wkt, GRA_Bilinear, 0.0, nullptr);
    CPLFree(wkt);
    if (!view) throw invalid();
    src.warped.reset(GDALDataset::FromHandle(view));
    src.dataset = src.warped.get();
    if (src.dataset->GetGeoTransform(gt) != CE_None) throw invalid();
  }
  std::copy(gt, gt + 6, src.gt);
  src.width = src.dataset->GetRasterXSize();
  src.height = src.dataset->GetRasterYSize();
}

// Between the outermost points: neighbouring SRTM tiles share their edge
// points, so each covers its own square degree and no more.
GeoBox boundsOf(const ElevationSource& s) {
  return {s.gt[0] + 0.5 * s.gt[1], s.gt[3] + (s.height - 0.5) * s.gt[5], s.gt[0] + (s.width - 0.5) * s.gt[1],
          s.gt[3] + 0.5 * s.gt[5]};
}

// The world file's numbers look like degrees: no .prj, so WGS 84 is meant.
bool looksLikeDegrees(const double gt[6], int width, int height) {
  const double x0 = gt[0], y0 = gt[3];
  const double x1 = gt[0] + width * gt[1], y1 = gt[3] + height * gt[5];
  return std::abs(gt[1]) < 1 && std::abs(gt[5]) < 1 && std::abs(x0) <= 360 && std::abs(x1) <= 360 &&
         std::abs(y0) <= 90 && std::abs(y1) <= 90;
}

bool usesWorldFile(GDALDataset& ds) {
  char** files = ds.GetFileList();
  bool found = false;
  for (int k = 1; files && files[k]; ++k) {
    const QString suffix = QFileInfo(QString::fromUtf8(files[k])).suffix().toLower();
    if (suffix == QLatin1String("wld") || (suffix.size() >= 3 && suffix.endsWith(QLatin1Char('w')))) found = true;
  }
  CSLDestroy(files);
  return found;
}

// The map's coordinate system: its own, a .prj beside it, or WGS 84 for a
// world file in degrees. False when none of these gives one.
bool mapSystem(const QString& path, GDALDataset& ds, const double gt[6], OGRSpatialReference& srs) {
  if (const OGRSpatialReference* own = ds.GetSpatialRef()) {
    srs = *own;
    return true;
  }
  const QFileInfo file(path);
  for (const char* suffix : {".prj", ".PRJ"}) {
    const QString prj = file.path() + QLatin1Char('/') + file.completeBaseName() + QLatin1String(suffix);
    if (QFileInfo(prj).isFile() && srs.SetFromUserInput(QFile::encodeName(prj).constData()) == OGRERR_NONE) return true;
  }
  if (usesWorldFile(ds) && looksLikeDegrees(gt, ds.GetRasterXSize(), ds.GetRasterYSize())) {
    srs = wgs84();
    return true;
  }
  return false;
}

QString crsName(const OGRSpatialReference& srs) {
  OGRSpatialReference copy(srs);
  const char* authority = copy.GetAuthorityName(nullptr);
  if (!authority || !copy.GetAuthorityCode(nullptr)) {
    copy.AutoIdentifyEPSG();
    authority = copy.GetAuthorityName(nullptr);
  }
  const char* code = copy.GetAuthorityCode(nullptr);
  if (authority && code) return QString::fromUtf8(authority) + QLatin1Char(':') + QString::fromUtf8(code);
  char* wkt = nullptr;
  srs.exportToWkt(&wkt);
  const QString text = QString::fromUtf8(wkt ? wkt : "");
  CPLFree(wkt);
  return text;
}

using Transformation = std::unique_ptr<OGRCoordinateTransformation>;

Transformation transformation(const OGRSpatialReference& from, const OGRSpatialReference& to) {
  return Transformation(OGRCreateCoordinateTransformation(&from, &to));
}

// The map's extent in degrees, from points along its edges.
GeoBox mapBounds(const double gt[6], int width, int height, OGRCoordinateTransformation& toWgs84) {
  constexpr int kSteps = 16;
  std::vector<double> x, y;
  for (int k = 0; k <= kSteps; ++k) {
    const double f = double(k) / kSteps;
    const double px[4] = {f * width, f * width, 0, double(width)};
    const double py[4] = {0, double(height), f * height, f * height};
    for (int e = 0; e < 4; ++e) {
      x.push_back(gt[0] + px[e] * gt[1] + py[e] * gt[2]);
      y.push_back(gt[3] + px[e] * gt[4] + py[e] * gt[5]);
    }
  }
  std::vector<int> ok(x.size());
  toWgs84.Transform(int(x.size()), x.data(), y.data(), nullptr, ok.data());
  GeoBox b{std::numeric_limits<double>::max(), std::numeric_limits<double>::max(), -std::numeric_limits<double>::max(),
           -std::numeric_limits<double>::max()};
  for (size_t k = 0; k < x.size(); ++k) {
    if (!ok[k]) continue;
    b.west = std::min(b.west, x[k]);
    b.east = std::max(b.east, x[k]);
    b.south = std::min(b.south, y[k]);
    b.north = std::max(b.north, y[k]);
  }
  return b;
}

// Some pixel of the map is not transparent; read at a small size, through
// the zoom levels. A tile set without tiles has none.
bool anyPixel(GDALDataset& ds) {
  constexpr int kSide = 64;
  std::vector<uint8_t> mask(kSide * kSide);
  if (ds.GetRasterBand(1)->GetMaskBand()->RasterIO(GF_Read, 0, 0, ds.GetRasterXSize(), ds.GetRasterYSize(), mask.data(),
                                                   kSide, kSide, GDT_Byte, 0, 0, nullptr) != CE_None)
    return false;
  return std::any_of(mask.begin(), mask.end(), [](uint8_t m) { return m != 0; });
}

}  // namespace

bool describeRaster(const QString& path, RasterFacts& facts) {
  GDALDatasetUniquePtr ds = openRaster(path);
  if (!ds) return false;
  facts.driver = QString::fromUtf8(ds->GetDriver()->GetDescription());
  facts.width = ds->GetRasterXSize();
  facts.height = ds->GetRasterYSize();
  facts.bands = ds->GetRasterCount();
  if (facts.bands > 0) {
    GDALRasterBand* band = ds->GetRasterBand(1);
    facts.palette = band->GetColorTable() != nullptr;
    facts.numeric = numericType(band->GetRasterDataType());
  }
  facts.hasCrs = ds->GetSpatialRef() != nullptr;
  double gt[6];
  facts.hasGeoTransform = ds->GetGeoTransform(gt) == CE_None;
  return true;
}

ElevationFacts elevationFacts(const QString& path) {
  ElevationSource src;
  openElevation(path, src);
  return {boundsOf(src), -src.gt[5]};
}

ElevationPatch readElevation(const QString& path, const GeoBox& box) {
  ElevationSource src;
  openElevation(path, src);
  ElevationPatch patch;
  patch.coverage = box.intersected(boundsOf(src));
  if (patch.coverage.empty()) return patch;
  const double* gt = src.gt;
  // Index of the point centred at a longitude or latitude.
  const auto column = [&](double lon) { return (lon - gt[0]) / gt[1] - 0.5; };
  const auto row = [&](double lat) { return (lat - gt[3]) / gt[5] - 0.5; };
  const int c0 = std::max(0, int(std::floor(column(patch.coverage.west))) - 1);
  const int c1 = std::min(src.width - 1, int(std::ceil(column(patch.coverage.east))) + 1);
  const int r0 = std::max(0, int(std::floor(row(patch.coverage.north))) - 1);
  const int r1 = std::min(src.height - 1, int(std::ceil(row(patch.coverage.south))) + 1);
  const int width = c1 - c0 + 1, height = r1 - r0 + 1;
  const double scale = std::max(1.0, std::sqrt(double(width) * height / kMaxElevationPoints));
  patch.columns = std::max(2, int(std::ceil(width / scale)));
  patch.rows = std::max(2, int(std::ceil(height / scale)));
  patch.dLon = gt[1] * width / patch.columns;
  patch.dLat = -gt[5] * height / patch.rows;
  patch.west = gt[0] + c0 * gt[1] + 0.5 * patch.dLon;
  patch.north = gt[3] + r0 * gt[5] - 0.5 * patch.dLat;
  patch.height.resize(size_t(patch.columns) * patch.rows);
  GDALRasterBand* band = src.dataset->GetRasterBand(1);
  GDALRasterIOExtraArg extra;
  INIT_RASTERIO_EXTRA_ARG(extra);
  extra.eResampleAlg = GRIORA_Bilinear;
  if (band->RasterIO(GF_Read, c0, r0, width, height, patch.height.data(), patch.columns, patch.rows, GDT_Float32, 0, 0,
                     &extra) != CE_None)
    throw inFile(RunError::invalidTerrain(), fileNameOf(path));
  int hasNoData = 0;
  const double noData = band->GetNoDataValue(&hasNoData);
  for (float& h : patch.height)
    if (h <= -32768.0f || (hasNoData && h == float(noData)) || !std::isfinite(h)) h = kNoHeight;
  return patch;
}

MapFacts sampleMap(const QString& path, const std::vector<double>& lon, const std::vector<double>& lat, int columns,
                   int rows, std::vector<int32_t>& colours) {
  const QString name = fileNameOf(path);
  GDALDatasetUniquePtr ds = openRaster(path);
  if (!ds || ds->GetRasterCount() < 1 || ds->GetRasterXSize() < 1 || ds->GetRasterYSize() < 1)
    throw inFile(RunError::invalidMap(), name);
  const int width = ds->GetRasterXSize(), height = ds->GetRasterYSize();
  double gt[6];
  OGRSpatialReference srs;
  if (ds->GetGeoTransform(gt) != CE_None || !mapSystem(path, *ds, gt, srs))
    throw inFile(RunError::mapWithoutCrs(), name);
  srs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  const OGRSpatialReference geographic = wgs84();
  const Transformation toMap = transformation(geographic, srs);
  const Transformation toWgs84 = transformation(srs, geographic);
  double inverse[6];
  if (!toMap || !toWgs84 || !GDALInvGeoTransform(gt, inverse)) throw inFile(RunError::mapWithoutCrs(), name);

  MapFacts facts{QString::fromUtf8(ds->GetDriver()->GetDescription()), crsName(srs),
                 mapBounds(gt, width, height, *toWgs84)};
  if (facts.driver == QLatin1String("MBTiles") && !anyPixel(*ds)) throw inFile(RunError::invalidMap(), name);

  // Each point's place in the picture, in pixels.
  const size_t n = lon.size();
  std::vector<double> px(lon), py(lat);
  std::vector<int> ok(n);
  if (n) toMap->Transform(int(n), px.data(), py.data(), nullptr, ok.data());
  double xMin = width, xMax = 0, yMin = height, yMax = 0;
  for (size_t k = 0; k < n; ++k) {
    const double x = px[k], y = py[k];
    px[k] = inverse[0] + x * inverse[1] + y * inverse[2];
    py[k] = inverse[3] + x * inverse[4] + y * inverse[5];
    if (!ok[k] || !(px[k] >= 0 && px[k] < width && py[k] >= 0 && py[k] < height)) {
      ok[k] = 0;
      continue;
    }
    xMin = std::min(xMin, px[k]);
    xMax = std::max(xMax, px[k]);
    yMin = std::min(yMin, py[k]);
    yMax = std::max(yMax, py[k]);
  }
  colours.assign(n, -1);
  if (xMin > xMax) return facts;  // the map lies beside every point

  // The window the points need, read once into a buffer of about twice the grid's resolution.
  const int x0 = std::max(0, int(std::floor(xMin)) - 1), x1 = std::min(width, int(std::ceil(xMax)) + 1);
  const int y0 = std::max(0, int(std::floor(yMin)) - 1), y1 = std::min(height, int(std::ceil(yMax)) + 1);
  const int winW = x1 - x0, winH = y1 - y0;
  const int bufW = std::max(1, std::min(winW, 2 * columns)), bufH = std::max(1, std::min(winH, 2 * rows));
  const size_t cells = size_t(bufW) * bufH;
  const int bands = ds->GetRasterCount();
  GDALRasterBand* first = ds->GetRasterBand(1);
  const GDALColorTable* palette = first->GetColorTable();
  const int colourBands = (bands >= 3 && !palette) ? 3 : 1;
  // The colour bands and an alpha band in one pass over the file: a picture
  // format that decodes line by line (PNG) is then decoded once, not per band.
  const int maskFlags = first->GetMaskFlags();
  int bandList[4] = {1, 2, 3, 0};
  int readBands = colourBands;
  if ((maskFlags & GMF_ALPHA) && (maskFlags & GMF_PER_DATASET))
    for (int b = 1; b <= bands; ++b)
      if (ds->GetRasterBand(b)->GetColorInterpretation() == GCI_AlphaBand && b > colourBands) bandList[readBands++] = b;
  std::vector<uint8_t> pixels(cells * 4, 255);
  // In strips from the top: a picture decoded line by line (PNG) is then
  // decoded once, the strip's lines staying in the block cache while the
  // bands are read from them.
  constexpr int kStripRows = 16;
  const double rowsPerBufferRow = double(winH) / bufH;
  bool read = true;
  for (int j0 = 0; j0 < bufH && read; j0 += kStripRows) {
    const int j1 = std::min(bufH, j0 + kStripRows);
    GDALRasterIOExtraArg extra;
    INIT_RASTERIO_EXTRA_ARG(extra);
    extra.eResampleAlg = palette ? GRIORA_NearestNeighbour : GRIORA_Bilinear;
    extra.bFloatingPointWindowValidity = TRUE;
    extra.dfXOff = x0;
    extra.dfXSize = winW;
    extra.dfYOff = y0 + j0 * rowsPerBufferRow;
    extra.dfYSize = (j1 - j0) * rowsPerBufferRow;
    const int top = std::clamp(int(std::floor(extra.dfYOff)), y0, y1 - 1);
    const int bottom = std::clamp(int(std::ceil(extra.dfYOff + extra.dfYSize)), top + 1, y1);
    read = ds->RasterIO(GF_Read, x0, top, winW, bottom - top, pixels.data() + size_t(j0) * bufW, bufW, j1 - j0,
                        GDT_Byte, readBands, bandList, 1, bufW, cells, &extra) == CE_None;
  }
  GDALRasterIOExtraArg extra;
  INIT_RASTERIO_EXTRA_ARG(extra);
  uint8_t* mask = pixels.data() + 3 * cells;
  if (read && readBands == colourBands && !(maskFlags & GMF_ALL_VALID)) {
    extra.eResampleAlg = GRIORA_NearestNeighbour;
    read = first->GetMaskBand()->RasterIO(GF_Read, x0, y0, winW, winH, mask, bufW, bufH, GDT_Byte, 0, 0, &extra) ==
           CE_None;
  } else if (readBands > colourBands && colourBands == 1) {
    std::copy(pixels.data() + cells, pixels.data() + 2 * cells, mask);  // grey and alpha
    std::fill(pixels.data() + cells, pixels.data() + 2 * cells, uint8_t(255));
  }
  if (!read) throw inFile(RunError::invalidMap(), name);

  auto colourAt = [&](size_t k) -> int32_t {
    if (!mask[k]) return -1;
    if (palette) {
      const GDALColorEntry* e = palette->GetColorEntry(pixels[k]);
      if (!e || e->c4 == 0) return -1;
      return int32_t(e->c1) | int32_t(e->c2) << 8 | int32_t(e->c3) << 16;
    }
    const uint8_t r = pixels[k];
    const uint8_t g = colourBands == 3 ? pixels[cells + k] : r;
    const uint8_t b = colourBands == 3 ? pixels[2 * cells + k] : r;
    return int32_t(r) | int32_t(g) << 8 | int32_t(b) << 16;
  };
  const double sx = double(bufW) / winW, sy = double(bufH) / winH;
  for (size_t k = 0; k < n; ++k) {
    if (!ok[k]) continue;
    const double bx = std::clamp((px[k] - x0) * sx - 0.5, 0.0, bufW - 1.0);
    const double by = std::clamp((py[k] - y0) * sy - 0.5, 0.0, bufH - 1.0);
    const int i = std::min(int(bx), std::max(0, bufW - 2)), j = std::min(int(by), std::max(0, bufH - 2));
    const int i1 = std::min(i + 1, bufW - 1), j1 = std::min(j + 1, bufH - 1);
    const double fx = bx - i, fy = by - j;
    const size_t corner[4] = {size_t(j) * bufW + i, size_t(j) * bufW + i1, size_t(j1) * bufW + i,
                              size_t(j1) * bufW + i1};
    const double weight[4] = {(1 - fx) * (1 - fy), fx * (1 - fy), (1 - fx) * fy, fx * fy};
    // Between four covered pixels the colours blend; at the map's edge the nearest pixel decides.
    int32_t c[4];
    bool all = true;
    for (int q = 0; q < 4; ++q) all = (c[q] = colourAt(corner[q])) >= 0 && all;
    if (!all || palette) {
      colours[k] = colourAt(size_t(std::lround(by)) * bufW + size_t(std::lround(bx)));
      continue;
    }
    int32_t blended = 0;
    for (int shift = 0; shift < 24; shift += 8) {
      double v = 0;
      for (int q = 0; q < 4; ++q) v += weight[q] * ((c[q] >> shift) & 0xFF);
      blended |= int32_t(std::clamp(std::lround(v), 0L, 255L)) << shift;
    }
    colours[k] = blended;
  }
  return facts;
}

bool ellipsoidToGeoid(const double* lat, const double* lon, double* height, int n) {
  setUpGdal();
  OGRSpatialReference ellipsoidal, geoid;
  if (ellipsoidal.importFromEPSG(4979) != OGRERR_NONE || geoid.SetFromUserInput("EPSG:4326+5773") != OGRERR_NONE)
    return false;
  ellipsoidal.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  geoid.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  const Transformation t = transformation(ellipsoidal, geoid);
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
