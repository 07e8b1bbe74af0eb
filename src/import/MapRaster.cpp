// Georeferenced maps through GDAL: GeoTIFFs in any system, pictures with a
// world file (and a .prj), MBTiles; laid as texels over the cells of a grid.
#include "import/GdalRaster.h"
#include "import/TextLines.h"
#include "model/RunError.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <limits>

namespace trelvano {
namespace {

// The world file's numbers look like degrees: no .prj, so WGS 84 is meant.
bool looksLikeDegrees(const double gt[6], int width, int height) {
  const double x0 = gt[0], y0 = gt[3];
  const double x1 = gt[0] + width * gt[1], y1 = gt[3] + height * gt[5];
  return std::abs(gt[1]) < 1 && std::abs(gt[5]) < 1 && std::abs(x0) <= 360 && std::abs(x1) <= 360 &&
         std::abs(y0) <= 90 && std::abs(y1) <= 90;
}

// The .prj beside a picture, either case; empty when there is none.
QString prjBeside(const QString& path) {
  const QFileInfo file(path);
  for (const char* suffix : {".prj", ".PRJ"}) {
    const QString prj = file.path() + QLatin1Char('/') + file.completeBaseName() + QLatin1String(suffix);
    if (QFileInfo(prj).isFile()) return prj;
  }
  return {};
}

// The map's coordinate system: its own, a .prj beside it, or WGS 84 for a
// world file in degrees. False when none of these gives one, or the .prj
// cannot be read (guessing degrees would put the picture anywhere).
bool mapSystem(const QString& path, GDALDataset& ds, const double gt[6], OGRSpatialReference& srs) {
  if (const OGRSpatialReference* own = ds.GetSpatialRef()) {
    srs = *own;
    return true;
  }
  const QString prj = prjBeside(path);
  if (!prj.isEmpty()) return srs.SetFromUserInput(QFile::encodeName(prj).constData()) == OGRERR_NONE;
  if (hasWorldFile(path) && looksLikeDegrees(gt, ds.GetRasterXSize(), ds.GetRasterYSize())) {
    srs = gdal::wgs84();
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

// Some pixel of the map is not clear; read at a small size, through the zoom
// levels. A tile set without tiles has none, nor a map of only no-data.
bool anyPixel(GDALDataset& ds) {
  constexpr int kSide = 256;
  const int columns = std::min(kSide, ds.GetRasterXSize()), rows = std::min(kSide, ds.GetRasterYSize());
  std::vector<uint8_t> mask(size_t(columns) * rows);
  if (ds.GetRasterBand(1)->GetMaskBand()->RasterIO(GF_Read, 0, 0, ds.GetRasterXSize(), ds.GetRasterYSize(), mask.data(),
                                                   columns, rows, GDT_Byte, 0, 0, nullptr) != CE_None)
    return false;
  return std::any_of(mask.begin(), mask.end(), [](uint8_t m) { return m != 0; });
}

struct Detail {
  int texels = 1;     // per cell side
  double pixels = 0;  // of the map per cell side, on average; 0: unknown
};

// Texels per cell side: as many as the map has pixels there, within the budget.
Detail textureDetail(const std::vector<double>& px, const std::vector<double>& py, const std::vector<int>& ok,
                     int columns, int rows) {
  const int64_t cells = int64_t(columns - 1) * (rows - 1);
  if (cells <= 0) return {};
  int most = 1;
  while (most < kMaxMapDetail && cells * (most + 1) * (most + 1) <= kMaxMapTexels) ++most;
  // Map pixels per cell side, on average over the covered nodes.
  double along = 0, across = 0;
  int n = 0;
  for (int r = 0; r + 1 < rows; ++r)
    for (int c = 0; c + 1 < columns; ++c) {
      const size_t k = size_t(r) * columns + c, right = k + 1, up = k + size_t(columns);
      if (!ok[k] || !ok[right] || !ok[up]) continue;
      along += std::hypot(px[right] - px[k], py[right] - py[k]);
      across += std::hypot(px[up] - px[k], py[up] - py[k]);
      ++n;
    }
  if (!n) return {};
  const double pixels = std::max(along, across) / n;
  return {std::clamp(int(std::ceil(pixels - 1e-6)), 1, most), pixels};
}

}  // namespace

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

MapFacts sampleMap(const QString& path, const std::vector<double>& lon, const std::vector<double>& lat, int columns,
                   int rows, MapTexture& texture) {
  const QString name = rasterDisplayName(path);
  GDALDatasetUniquePtr ds = gdal::open(path);
  if (!ds || ds->GetRasterCount() < 1 || ds->GetRasterXSize() < 1 || ds->GetRasterYSize() < 1)
    throw inFile(RunError::invalidMap(), name);
  const int width = ds->GetRasterXSize(), height = ds->GetRasterYSize();
  double gt[6];
  if (ds->GetGeoTransform(gt) != CE_None) {
    // GDAL passes over a world file it cannot use: the file is there, its numbers are wrong.
    if (hasWorldFile(path)) throw inFile(RunError::invalidMap(), name);
    throw inFile(RunError::mapWithoutCrs(), name);
  }
  if (!gdal::placesPicture(gt, width, height)) throw inFile(RunError::invalidMap(), name);
  OGRSpatialReference srs;
  if (!mapSystem(path, *ds, gt, srs)) throw inFile(RunError::mapWithoutCrs(), name);
  srs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  const gdal::Transformation toMap = gdal::transformation(gdal::wgs84(), srs);
  double inverse[6];
  if (!toMap || !GDALInvGeoTransform(gt, inverse)) throw inFile(RunError::mapWithoutCrs(), name);

  MapFacts facts{QString::fromUtf8(ds->GetDriver()->GetDescription()), crsName(srs),
                 gdal::extentInDegrees(gt, width, height, srs)};
  const bool somePixel = anyPixel(*ds);
  if (facts.driver == QLatin1String("MBTiles") && !somePixel) throw inFile(RunError::invalidMap(), name);

  // Each node's place in the picture, in pixels.
  const size_t n = lon.size();
  std::vector<double> px(lon), py(lat);
  std::vector<int> ok(n);
  if (n) toMap->Transform(int(n), px.data(), py.data(), nullptr, ok.data());
  for (size_t k = 0; k < n; ++k) {
    const double x = px[k], y = py[k];
    px[k] = inverse[0] + x * inverse[1] + y * inverse[2];
    py[k] = inverse[3] + x * inverse[4] + y * inverse[5];
    ok[k] = ok[k] && std::isfinite(px[k]) && std::isfinite(py[k]);
  }
  texture = MapTexture{};
  if (columns < 2 || rows < 2 || n < size_t(columns) * rows) {
    if (!somePixel) throw inFile(RunError::invalidMap(), name);
    return facts;
  }
  const Detail fineness = textureDetail(px, py, ok, columns, rows);
  const int detail = fineness.texels;
  texture.detail = detail;
  texture.columns = (columns - 1) * detail;
  texture.rows = (rows - 1) * detail;
  texture.colour.assign(size_t(texture.columns) * texture.rows, -1);

  // The window of the picture the grid's nodes reach into (the texels lie between them).
  double xMin = width, xMax = 0, yMin = height, yMax = 0;
  for (size_t k = 0; k < n; ++k) {
    if (!ok[k]) continue;
    xMin = std::min(xMin, std::max(px[k], 0.0));
    xMax = std::max(xMax, std::min(px[k], double(width)));
    yMin = std::min(yMin, std::max(py[k], 0.0));
    yMax = std::max(yMax, std::min(py[k], double(height)));
  }
  if (!(xMin < xMax && yMin < yMax)) {  // the map lies beside every node
    if (!somePixel) throw inFile(RunError::invalidMap(), name);
    return facts;
  }
  const int x0 = std::max(0, int(std::floor(xMin)) - 1), x1 = std::min(width, int(std::ceil(xMax)) + 1);
  const int y0 = std::max(0, int(std::floor(yMin)) - 1), y1 = std::min(height, int(std::ceil(yMax)) + 1);
  const int winW = x1 - x0, winH = y1 - y0;
  // Read at about the texels' resolution: as many buffer pixels across the
  // window as texels lie across it, never more than the map's own.
  const double share = fineness.pixels > 0 ? std::clamp(detail / fineness.pixels, 1e-3, 1.0) : 1.0;
  const int bufW = std::clamp(int(std::ceil(winW * share)), 1, winW);
  const int bufH = std::clamp(int(std::ceil(winH * share)), 1, winH);
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
  // The colour at a place in the picture (pixels), -1 outside it.
  const double sx = double(bufW) / winW, sy = double(bufH) / winH;
  auto colourOf = [&](double x, double y) -> int32_t {
    if (!(x >= 0 && x < width && y >= 0 && y < height)) return -1;
    const double bx = std::clamp((x - x0) * sx - 0.5, 0.0, bufW - 1.0);
    const double by = std::clamp((y - y0) * sy - 0.5, 0.0, bufH - 1.0);
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
    if (!all || palette) return colourAt(size_t(std::lround(by)) * bufW + size_t(std::lround(bx)));
    int32_t blended = 0;
    for (int shift = 0; shift < 24; shift += 8) {
      double v = 0;
      for (int q = 0; q < 4; ++q) v += weight[q] * ((c[q] >> shift) & 0xFF);
      blended |= int32_t(std::clamp(std::lround(v), 0L, 255L)) << shift;
    }
    return blended;
  };
  // Each texel's place between its cell's four nodes.
  bool covered = false;
  for (int r = 0; r + 1 < rows; ++r)
    for (int c = 0; c + 1 < columns; ++c) {
      const size_t n00 = size_t(r) * columns + c, n10 = n00 + 1, n01 = n00 + size_t(columns), n11 = n01 + 1;
      if (!ok[n00] || !ok[n10] || !ok[n01] || !ok[n11]) continue;
      for (int b = 0; b < detail; ++b) {
        const double v = (b + 0.5) / detail;
        const double xl = px[n00] + v * (px[n01] - px[n00]), xr = px[n10] + v * (px[n11] - px[n10]);
        const double yl = py[n00] + v * (py[n01] - py[n00]), yr = py[n10] + v * (py[n11] - py[n10]);
        int32_t* out = texture.colour.data() + (size_t(r) * detail + b) * texture.columns + size_t(c) * detail;
        for (int a = 0; a < detail; ++a) {
          const double u = (a + 0.5) / detail;
          out[a] = colourOf(xl + u * (xr - xl), yl + u * (yr - yl));
          covered = covered || out[a] >= 0;
        }
      }
    }
  if (!covered && !somePixel) throw inFile(RunError::invalidMap(), name);
  return facts;
}

}  // namespace trelvano
