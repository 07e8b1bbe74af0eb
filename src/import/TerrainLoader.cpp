#include "import/TerrainLoader.h"

#include "import/TextLines.h"
#include "model/RunError.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <cmath>
#include <limits>

namespace trelvano {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kMinSide = 1000;  // metres: the grid of a flight that hardly moves
constexpr double kMargin = 0.10;   // of the flight's extent, on each side

int floorDegree(double v) { return int(std::floor(v)); }

}  // namespace

GroundGrid groundGridFor(const FlightData& data, double minStep) {
  double xMin = 0, xMax = 0, yMin = 0, yMax = 0;
  bool first = true;
  for (int32_t i = 0; i <= data.LastPoint; ++i) {
    const FlightPoint& p = data.FlightPath[i];
    if (!std::isfinite(p.X) || !std::isfinite(p.Y)) continue;
    if (first || p.X < xMin) xMin = p.X;
    if (first || p.X > xMax) xMax = p.X;
    if (first || p.Y < yMin) yMin = p.Y;
    if (first || p.Y > yMax) yMax = p.Y;
    first = false;
  }
  const double cx = (xMin + xMax) / 2, cy = (yMin + yMax) / 2;
  const double w = std::max(xMax - xMin, kMinSide) * (1 + 2 * kMargin);
  const double h = std::max(yMax - yMin, kMinSide) * (1 + 2 * kMargin);
  GroundGrid g;
  g.step = std::max(std::max(w, h) / (kMaxGridNodes - 1), minStep);
  g.columns = std::clamp(int(std::ceil(w / g.step)) + 1, 2, kMaxGridNodes);
  g.rows = std::clamp(int(std::ceil(h / g.step)) + 1, 2, kMaxGridNodes);
  // Columns run east, towards smaller X.
  g.x0 = cx + (g.columns - 1) * g.step / 2;
  g.y0 = cy - (g.rows - 1) * g.step / 2;
  return g;
}

void nodePositions(const GroundGrid& grid, const FrameOrigin& origin, std::vector<double>& lon,
                   std::vector<double>& lat) {
  const size_t n = size_t(grid.columns) * grid.rows;
  lon.resize(n);
  lat.resize(n);
  for (int r = 0; r < grid.rows; ++r) {
    const double la = frameLat(grid.nodeY(r), origin);
    for (int c = 0; c < grid.columns; ++c) {
      lat[grid.index(c, r)] = la;
      lon[grid.index(c, r)] = frameLon(grid.nodeX(c), la, origin);
    }
  }
}

GeoBox gridBox(const GroundGrid& grid, const FrameOrigin& origin) {
  GeoBox b{std::numeric_limits<double>::max(), std::numeric_limits<double>::max(), -std::numeric_limits<double>::max(),
           -std::numeric_limits<double>::max()};
  // 1 / cos(latitude) is convex, so the corners hold the extreme longitudes.
  for (int r : {0, grid.rows - 1}) {
    const double la = frameLat(grid.nodeY(r), origin);
    for (int c : {0, grid.columns - 1}) {
      const double lo = frameLon(grid.nodeX(c), la, origin);
      b.west = std::min(b.west, lo);
      b.east = std::max(b.east, lo);
    }
    b.south = std::min(b.south, la);
    b.north = std::max(b.north, la);
  }
  return b;
}

bool isElevationFileName(const QString& path) {
  return path.endsWith(QLatin1String(".hgt"), Qt::CaseInsensitive) ||
         path.endsWith(QLatin1String(".hgt.zip"), Qt::CaseInsensitive);
}

QString tileName(int south, int west) {
  return QStringLiteral("%1%2%3%4")
      .arg(south < 0 ? QLatin1Char('S') : QLatin1Char('N'))
      .arg(std::abs(south), 2, 10, QLatin1Char('0'))
      .arg(west < 0 ? QLatin1Char('W') : QLatin1Char('E'))
      .arg(std::abs(west), 3, 10, QLatin1Char('0'));
}

QStringList tileNamesUnder(const GeoBox& box) {
  QStringList names;
  if (box.empty()) return names;
  // A box ending on a whole degree does not reach into the tile beyond it.
  const int lastLat = int(std::ceil(box.north)) - 1, lastLon = int(std::ceil(box.east)) - 1;
  for (int la = floorDegree(box.south); la <= lastLat; ++la)
    for (int lo = floorDegree(box.west); lo <= lastLon; ++lo) names << tileName(la, lo);
  return names;
}

QStringList tilesInFolder(const QString& folder, const GeoBox& box) {
  QStringList found;
  if (folder.isEmpty()) return found;
  const QDir dir(folder);
  QHash<QString, QString> byName;  // lower-case file name → path
  for (const QFileInfo& f :
       dir.entryInfoList({QStringLiteral("*.hgt"), QStringLiteral("*.hgt.zip")}, QDir::Files | QDir::Readable))
    byName.insert(f.fileName().toLower(), f.absoluteFilePath());
  for (const QString& tile : tileNamesUnder(box)) {
    const QString lower = tile.toLower();
    if (auto it = byName.find(lower + QStringLiteral(".hgt")); it != byName.end())
      found << *it;
    else if (auto zip = byName.find(lower + QStringLiteral(".hgt.zip")); zip != byName.end())
      found << *zip;
  }
  return found;
}

int fillVoids(std::vector<float>& height, int columns, int rows) {
  const auto has = [&](size_t k) { return !std::isnan(height[k]); };
  std::vector<uint8_t> queued(height.size());
  std::vector<size_t> front, next;
  const auto eachNeighbour = [&](size_t k, auto&& f) {
    const int c = int(k % columns), r = int(k / columns);
    for (int dr = -1; dr <= 1; ++dr)
      for (int dc = -1; dc <= 1; ++dc) {
        const int cc = c + dc, rr = r + dr;
        if ((dc || dr) && cc >= 0 && cc < columns && rr >= 0 && rr < rows) f(size_t(rr) * columns + cc);
      }
  };
  for (size_t k = 0; k < height.size(); ++k) {
    if (has(k)) continue;
    bool touches = false;
    eachNeighbour(k, [&](size_t n) { touches = touches || has(n); });
    if (touches) {
      front.push_back(k);
      queued[k] = 1;
    }
  }
  int filled = 0;
  std::vector<float> values;
  while (!front.empty()) {
    // One ring at a time: a ring's values come only from the rings before it.
    values.clear();
    for (size_t k : front) {
      double sum = 0;
      int count = 0;
      eachNeighbour(k, [&](size_t n) {
        if (has(n)) sum += height[n], ++count;
      });
      values.push_back(float(sum / count));
    }
    next.clear();
    for (size_t i = 0; i < front.size(); ++i) height[front[i]] = values[i];
    for (size_t k : front)
      eachNeighbour(k, [&](size_t n) {
        if (!queued[n] && !has(n)) {
          queued[n] = 1;
          next.push_back(n);
        }
      });
    filled += int(front.size());
    front.swap(next);
  }
  return filled;
}

double heightAt(const ElevationPatch& p, double lon, double lat) {
  const GeoBox& c = p.coverage;
  if (p.columns < 2 || p.rows < 2 || lon < c.west || lon > c.east || lat < c.south || lat > c.north) return kNaN;
  const double x = std::clamp((lon - p.west) / p.dLon, 0.0, p.columns - 1.0);
  const double y = std::clamp((p.north - lat) / p.dLat, 0.0, p.rows - 1.0);
  const int i = std::min(int(x), p.columns - 2), j = std::min(int(y), p.rows - 2);
  const double fx = x - i, fy = y - j;
  const size_t k = size_t(j) * p.columns + i;
  const float h[4] = {p.height[k], p.height[k + 1], p.height[k + p.columns], p.height[k + p.columns + 1]};
  const double w[4] = {(1 - fx) * (1 - fy), fx * (1 - fy), (1 - fx) * fy, fx * fy};
  double sum = 0, weight = 0;
  for (int q = 0; q < 4; ++q)
    if (!std::isnan(h[q])) sum += w[q] * h[q], weight += w[q];
  return weight > 0 ? sum / weight : kNaN;
}

TerrainBuild buildTerrain(const FlightData& data, const QStringList& files) {
  // First every file's extent and spacing: the grid is never finer than the finest data.
  std::vector<ElevationFacts> facts;
  double spacing = std::numeric_limits<double>::max();
  for (const QString& f : files) {
    facts.push_back(elevationFacts(f));
    spacing = std::min(spacing, facts.back().spacing * kMetresPerDegree);
  }
  TerrainBuild b;
  const FrameOrigin origin = flightOrigin(data);
  static_cast<GroundGrid&>(b.grid) = groundGridFor(data, files.isEmpty() ? 0 : spacing);
  TerrainGrid& g = b.grid;
  const GeoBox box = gridBox(g, origin);
  std::vector<double> lon, lat;
  nodePositions(g, origin, lon, lat);
  g.height.assign(lon.size(), std::numeric_limits<float>::quiet_NaN());
  const int32_t last = std::max(0, data.LastPoint);
  b.ground.assign(size_t(last) + 1, kNaN);

  // One file at a time, so only one file's points are in memory.
  for (qsizetype f = 0; f < files.size(); ++f) {
    if (box.intersected(facts[f].bounds).empty()) continue;
    ElevationPatch patch = readElevation(files[f], box);
    if (patch.coverage.empty()) continue;
    b.nearFlight = true;
    b.info.tiles << QFileInfo(files[f]).fileName();
    b.info.filledVoids += fillVoids(patch.height, patch.columns, patch.rows);
    for (size_t k = 0; k < g.height.size(); ++k)
      if (std::isnan(g.height[k])) g.height[k] = float(heightAt(patch, lon[k], lat[k]));
    for (int32_t i = 0; i <= last; ++i)
      if (std::isnan(b.ground[i])) b.ground[i] = heightAt(patch, data.FlightPath[i].Lon, data.FlightPath[i].Lat);
  }

  bool any = false;
  for (float h : g.height) {
    if (std::isnan(h)) continue;
    g.minHeight = any ? std::min(g.minHeight, h) : h;
    g.maxHeight = any ? std::max(g.maxHeight, h) : h;
    any = true;
  }
  // A tile is missing when no file reaches into its part of the grid.
  for (const QString& tile : tileNamesUnder(box)) {
    const int south = tile.mid(1, 2).toInt() * (tile[0] == QLatin1Char('S') ? -1 : 1);
    const int west = tile.mid(4, 3).toInt() * (tile[3] == QLatin1Char('W') ? -1 : 1);
    const GeoBox part = box.intersected({double(west), double(south), west + 1.0, south + 1.0});
    bool covered = false;
    for (const ElevationFacts& ef : facts) covered = covered || !part.intersected(ef.bounds).empty();
    if (!covered) b.info.missingTiles << tile;
  }
  return b;
}

void commitTerrain(FlightData& data, TerrainBuild&& build, const double* altitudes) {
  data.Terrain = std::move(build.grid);
  data.TerrainState = std::move(build.info);
  const int32_t last = std::min<int32_t>(int32_t(build.ground.size()) - 1, kMaxFlightPoints - 1);
  for (int32_t i = 0; i <= last; ++i) {
    const double alt = altitudes ? altitudes[i] : data.FlightPath[i].Altitude;
    data.HeightAboveGround[i] = alt - build.ground[i];
  }
  data.HasHeightAboveGround = build.nearFlight;
  ++data.SceneVersion;
}

void followAltitudes(FlightData& data, const std::vector<double>& before) {
  if (!data.HasHeightAboveGround) return;
  const int32_t last = std::min<int32_t>(data.LastPoint, int32_t(before.size()) - 1);
  for (int32_t i = 0; i <= last; ++i) data.HeightAboveGround[i] += data.FlightPath[i].Altitude - before[size_t(i)];
}

void clearTerrain(FlightData& data) {
  data.Terrain = TerrainGrid{};
  data.TerrainState = TerrainInfo{};
  data.HasHeightAboveGround = false;
  ++data.SceneVersion;
}

}  // namespace trelvano
