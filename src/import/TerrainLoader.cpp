#include "import/TerrainLoader.h"

#include "import/SeaLevelAltitude.h"
#include "import/TextLines.h"
#include "model/RunError.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

#include <algorithm>
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

QString tileOfName(const QString& path) {
  static const QRegularExpression tile(QStringLiteral("^([ns])(\\d\\d)([ew])(\\d\\d\\d)\\.hgt(\\.zip)?$"),
                                       QRegularExpression::CaseInsensitiveOption);
  const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
  return tile.match(name).hasMatch() ? name.left(7).toUpper() : QString();
}

QString elevationKey(const QString& path) {
  const QString tile = tileOfName(path);
  return tile.isEmpty() ? rasterDisplayName(path).toLower() : tile;
}

FolderTiles tilesInFolder(const QString& folder, const GeoBox& box) {
  FolderTiles found;
  if (folder.isEmpty()) return found;
  // Every entry of a tile's name, also those that cannot be read: they are named, not passed over.
  QHash<QString, QFileInfo> byName;  // lower-case file name
  const QDir::Filters entries = QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot;
  for (const QFileInfo& f : QDir(folder).entryInfoList({QStringLiteral("*.hgt"), QStringLiteral("*.hgt.zip")}, entries))
    byName.insert(f.fileName().toLower(), f);
  const auto unusable = [&](const RunError& e, const QFileInfo& f) {
    found.unusable.push_back({f.fileName(), e.text()});
  };
  for (const QString& tile : tileNamesUnder(box)) {
    const QString lower = tile.toLower();
    const auto hgt = byName.constFind(lower + QStringLiteral(".hgt"));
    const auto zip = byName.constFind(lower + QStringLiteral(".hgt.zip"));
    if (hgt == byName.cend() && zip == byName.cend()) continue;
    const QFileInfo& f = hgt != byName.cend() ? *hgt : *zip;
    if (!f.isFile() || !f.isReadable()) {
      unusable(RunError::cannotOpen(), f);
      continue;
    }
    if (hgt != byName.cend()) {
      found.files << f.absoluteFilePath();
      found.onDisk << f.absoluteFilePath();
      continue;
    }
    // The archive's member of the tile's own name, whatever else it holds.
    try {
      const QStringList members = elevationMembers(f.absoluteFilePath());
      const auto own =
          std::find_if(members.begin(), members.end(), [&](const QString& m) { return tileOfName(m) == tile; });
      if (own == members.end()) throw RunError::invalidTerrain();
      found.files << *own;
      found.onDisk << f.absoluteFilePath();
    } catch (const RunError& e) {
      unusable(e, f);
    }
  }
  return found;
}

int fillSmallVoids(std::vector<float>& height, int columns, int rows) {
  const size_t n = height.size();
  const auto has = [&](size_t k) { return !std::isnan(height[k]); };
  const auto eachNeighbour = [&](size_t k, auto&& f) {
    const int c = int(k % columns), r = int(k / columns);
    for (int dr = -1; dr <= 1; ++dr)
      for (int dc = -1; dc <= 1; ++dc) {
        const int cc = c + dc, rr = r + dr;
        if ((dc || dr) && cc >= 0 && cc < columns && rr >= 0 && rr < rows) f(size_t(rr) * columns + cc);
      }
  };
  // Most files have no void at all, and a grid without a value has nothing to fill from.
  const size_t firstVoid =
      size_t(std::find_if(height.begin(), height.end(), [](float h) { return std::isnan(h); }) - height.begin());
  if (firstVoid == n || std::all_of(height.begin(), height.end(), [](float h) { return std::isnan(h); })) return 0;
  // The holes, each with the box around it: only small ones are filled.
  enum : uint8_t { kData, kLarge, kSmall };
  std::vector<uint8_t> kind(n, kData);
  std::vector<size_t> hole, stack;
  std::vector<uint8_t> seen(n);
  for (size_t k = firstVoid; k < n; ++k) {
    if (has(k) || seen[k]) continue;
    hole.clear();
    stack.assign(1, k);
    seen[k] = 1;
    int c0 = columns, c1 = -1, r0 = rows, r1 = -1;
    while (!stack.empty()) {
      const size_t v = stack.back();
      stack.pop_back();
      hole.push_back(v);
      const int c = int(v % columns), r = int(v / columns);
      c0 = std::min(c0, c), c1 = std::max(c1, c), r0 = std::min(r0, r), r1 = std::max(r1, r);
      eachNeighbour(v, [&](size_t m) {
        if (!has(m) && !seen[m]) {
          seen[m] = 1;
          stack.push_back(m);
        }
      });
    }
    const bool small = c1 - c0 < kSmallVoid && r1 - r0 < kSmallVoid;
    for (size_t v : hole) kind[v] = small ? kSmall : kLarge;
  }
  // Ring by ring from the edge of each small hole: a ring's values come only
  // from the data and the rings before it.
  std::vector<size_t> front, next;
  std::vector<uint8_t>& queued = seen;  // reused: every void was seen above
  std::fill(queued.begin(), queued.end(), uint8_t(0));
  for (size_t k = firstVoid; k < n; ++k) {
    if (kind[k] != kSmall) continue;
    bool touches = false;
    eachNeighbour(k, [&](size_t m) { touches = touches || has(m); });
    if (touches) {
      front.push_back(k);
      queued[k] = 1;
    }
  }
  int filled = 0;
  std::vector<float> values;
  while (!front.empty()) {
    values.clear();
    for (size_t k : front) {
      double sum = 0;
      int count = 0;
      eachNeighbour(k, [&](size_t m) {
        if (has(m)) sum += height[m], ++count;
      });
      values.push_back(float(sum / count));
    }
    for (size_t i = 0; i < front.size(); ++i) height[front[i]] = values[i];
    next.clear();
    for (size_t k : front)
      eachNeighbour(k, [&](size_t m) {
        if (kind[m] == kSmall && !queued[m] && !has(m)) {
          queued[m] = 1;
          next.push_back(m);
        }
      });
    filled += int(front.size());
    front.swap(next);
  }
  return filled;
}

double heightAtPost(const ElevationPatch& p, double column, double row, bool allFour) {
  if (p.columns < 2 || p.rows < 2 || !(column >= 0 && row >= 0 && column <= p.columns - 1 && row <= p.rows - 1))
    return kNaN;
  const int i = std::min(int(column), p.columns - 2), j = std::min(int(row), p.rows - 2);
  const double fx = column - i, fy = row - j;
  const size_t k = size_t(j) * p.columns + i;
  const float h[4] = {p.height[k], p.height[k + 1], p.height[k + p.columns], p.height[k + p.columns + 1]};
  const double w[4] = {(1 - fx) * (1 - fy), fx * (1 - fy), (1 - fx) * fy, fx * fy};
  double sum = 0, weight = 0;
  for (int q = 0; q < 4; ++q) {
    if (std::isnan(h[q])) {
      if (allFour) return kNaN;
      continue;
    }
    sum += w[q] * h[q], weight += w[q];
  }
  return weight > 0 ? sum / weight : kNaN;
}

TerrainBuild buildTerrain(const FlightData& data, const QStringList& files, const FolderTiles& folderTiles) {
  TerrainBuild b;
  for (const UnusableTile& u : folderTiles.unusable) b.info.unusableTiles << u.text();
  struct Source {
    QString path;
    bool fromFolder;
    ElevationFacts facts;
  };
  // First every file's extent and spacing: the grid is never finer than the finest data.
  std::vector<Source> sources;
  for (const QString& f : files) sources.push_back({f, false, elevationFacts(f)});
  const auto leaveOut = [&](const QString& path, const RunError& e) {
    b.info.unusableTiles << UnusableTile{rasterDisplayName(path), e.text()}.text();
  };
  for (const QString& f : folderTiles.files) {
    try {
      sources.push_back({f, true, elevationFacts(f)});
    } catch (const RunError& e) {
      leaveOut(f, e);
    }
  }
  double spacing = std::numeric_limits<double>::max();
  for (const Source& s : sources) spacing = std::min(spacing, s.facts.spacing);
  const FrameOrigin origin = flightOrigin(data);
  static_cast<GroundGrid&>(b.grid) = groundGridFor(data, sources.empty() ? 0 : spacing);
  TerrainGrid& g = b.grid;
  const GeoBox box = gridBox(g, origin);
  std::vector<double> nodeLon, nodeLat;
  nodePositions(g, origin, nodeLon, nodeLat);
  g.height.assign(nodeLon.size(), std::numeric_limits<float>::quiet_NaN());
  const size_t points = size_t(std::max(0, data.LastPoint)) + 1;
  std::vector<double> pointLon(points), pointLat(points);
  for (size_t i = 0; i < points; ++i) {
    pointLon[i] = data.FlightPath[int32_t(i)].Lon;
    pointLat[i] = data.FlightPath[int32_t(i)].Lat;
  }
  std::vector<double>& ground = b.info.groundUnderPoints;
  ground.assign(points, kNaN);

  // One file at a time, so only one file's posts are in memory.
  std::vector<double> column, row;
  std::vector<bool> used(sources.size());
  for (size_t f = 0; f < sources.size(); ++f) {
    const Source& s = sources[f];
    if (box.intersected(s.facts.bounds).empty()) continue;
    ElevationPatch patch;
    try {
      patch = readElevation(s.path, box);
    } catch (const RunError& e) {
      if (!s.fromFolder) throw;
      leaveOut(s.path, e);
      continue;
    }
    if (patch.height.empty()) continue;
    used[f] = true;
    b.nearFlight = true;
    b.info.tiles << rasterDisplayName(s.path);
    // The points' ground from the file's own posts, before any void is filled.
    column.resize(points), row.resize(points);
    postPositions(patch, pointLon.data(), pointLat.data(), points, column.data(), row.data());
    for (size_t i = 0; i < points; ++i)
      if (std::isnan(ground[i])) ground[i] = heightAtPost(patch, column[i], row[i], true);
    // The picture: small voids filled, the edges of larger holes from the posts beside them.
    b.info.filledVoids += fillSmallVoids(patch.height, patch.columns, patch.rows);
    column.resize(nodeLon.size()), row.resize(nodeLon.size());
    postPositions(patch, nodeLon.data(), nodeLat.data(), nodeLon.size(), column.data(), row.data());
    for (size_t k = 0; k < g.height.size(); ++k)
      if (std::isnan(g.height[k])) g.height[k] = float(heightAtPost(patch, column[k], row[k], false));
  }

  bool any = false;
  for (float h : g.height) {
    if (std::isnan(h)) continue;
    g.minHeight = any ? std::min(g.minHeight, h) : h;
    g.maxHeight = any ? std::max(g.maxHeight, h) : h;
    any = true;
  }
  // A tile is missing when no file in use reaches into its part of the grid.
  for (const QString& tile : tileNamesUnder(box)) {
    const int south = tile.mid(1, 2).toInt() * (tile[0] == QLatin1Char('S') ? -1 : 1);
    const int west = tile.mid(4, 3).toInt() * (tile[3] == QLatin1Char('W') ? -1 : 1);
    const GeoBox part = box.intersected({double(west), double(south), west + 1.0, south + 1.0});
    bool covered = false;
    for (size_t f = 0; f < sources.size(); ++f)
      covered = covered || (used[f] && !part.intersected(sources[f].facts.bounds).empty());
    if (!covered) b.info.missingTiles << tile;
  }
  return b;
}

std::vector<double> heightsAboveGround(std::span<const double> seaLevel, std::span<const double> ground) {
  std::vector<double> above(std::min(seaLevel.size(), ground.size()));
  for (size_t i = 0; i < above.size(); ++i) above[i] = seaLevel[i] - ground[i];
  return above;
}

void commitTerrain(FlightData& data, TerrainBuild&& build) {
  data.Terrain = std::move(build.grid);
  data.TerrainState = std::move(build.info);
  data.HasHeightAboveGround = build.nearFlight;
  refreshHeightsAboveGround(data);
  ++data.SceneVersion;
}

void refreshHeightsAboveGround(FlightData& data) {
  if (!data.HasHeightAboveGround) return;
  const std::vector<double> above = heightsAboveGround(seaLevelAltitudes(data), data.TerrainState.groundUnderPoints);
  const size_t n = std::min(above.size(), size_t(kMaxFlightPoints));
  std::copy(above.begin(), above.begin() + std::ptrdiff_t(n), data.HeightAboveGround);
}

void clearTerrain(FlightData& data) {
  data.Terrain = TerrainGrid{};
  data.TerrainState = TerrainInfo{};
  data.HasHeightAboveGround = false;
  ++data.SceneVersion;
}

}  // namespace trelvano
