#include "analysis/score/FixTree.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

namespace trelvano {

FixTree::FixTree(std::vector<SpacePoint> points, const std::vector<double>& altitudes)
    : size_(static_cast<int>(points.size())),
      leaves_(static_cast<int>(std::bit_ceil(std::max<size_t>(points.size(), 1)))),
      points_(std::move(points)),
      node_(2 * static_cast<size_t>(leaves_)),
      turned_(node_.size()) {
  constexpr double inf = std::numeric_limits<double>::infinity();
  for (int i = 0; i < leaves_; ++i) {
    Node& n = node_[leaves_ + i];
    n.first = n.last = i;
    n.extent = 0;
    n.minAlt = inf, n.maxAlt = -inf;
    if (i >= size_) continue;
    const SpacePoint& p = points_[i];
    for (int k = 0; k < 3; ++k) n.lo[k] = n.hi[k] = (&p.x)[k];
    if (std::isfinite(altitudes[i])) n.minAlt = n.maxAlt = altitudes[i];
  }
  for (int v = leaves_ - 1; v >= 1; --v) {
    const Node &a = node_[2 * v], &b = node_[2 * v + 1];
    Node& n = node_[v];
    if (!exists(2 * v + 1)) {
      n = a;  // all of this node's fixes, if any, are in its left half
      continue;
    }
    n.first = a.first;
    n.last = b.last;
    double diagonal = 0;
    for (int k = 0; k < 3; ++k) {
      n.lo[k] = std::min(a.lo[k], b.lo[k]);
      n.hi[k] = std::max(a.hi[k], b.hi[k]);
      diagonal += (n.hi[k] - n.lo[k]) * (n.hi[k] - n.lo[k]);
    }
    n.extent = std::sqrt(diagonal);
    n.minAlt = std::min(a.minAlt, b.minAlt);
    n.maxAlt = std::max(a.maxAlt, b.maxAlt);
  }
  for (int v = 1; v < 2 * leaves_; ++v)
    if (exists(v)) turnBox(v);
}

namespace {

SpacePoint operator-(const SpacePoint& a, const SpacePoint& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
SpacePoint operator+(const SpacePoint& a, const SpacePoint& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
SpacePoint operator*(double f, const SpacePoint& a) { return {f * a.x, f * a.y, f * a.z}; }
double dot(const SpacePoint& a, const SpacePoint& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
SpacePoint cross(const SpacePoint& a, const SpacePoint& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
SpacePoint unit(const SpacePoint& a) { return (1 / std::sqrt(dot(a, a))) * a; }

}  // namespace

void FixTree::turnBox(int v) {
  TurnedBox& box = turned_[v];
  const int first = node_[v].first, last = node_[v].last;
  SpacePoint mean{0, 0, 0};
  for (int i = first; i <= last; ++i) mean = mean + points_[i];
  mean = (1.0 / (last - first + 1)) * mean;
  box.centre = mean;
  if (node_[v].extent == 0) {
    box.half[0] = box.half[1] = box.half[2] = {0, 0, 0};
    return;
  }
  // Up, and two directions over the ground: the fixes' main direction of
  // spread and the one across it.
  const SpacePoint up = unit(mean);
  SpacePoint east = cross({0, 0, 1}, up);
  east = dot(east, east) > 1e-12 ? unit(east) : SpacePoint{1, 0, 0};
  const SpacePoint north = cross(up, east);
  double ee = 0, nn = 0, en = 0;
  for (int i = first; i <= last; ++i) {
    const SpacePoint d = points_[i] - mean;
    const double e = dot(d, east), n = dot(d, north);
    ee += e * e, nn += n * n, en += e * n;
  }
  const double angle = 0.5 * std::atan2(2 * en, ee - nn);
  const SpacePoint axis[3] = {std::cos(angle) * east + std::sin(angle) * north,
                              std::cos(angle) * north - std::sin(angle) * east, up};
  double lo[3] = {0, 0, 0}, hi[3] = {0, 0, 0};
  for (int i = first; i <= last; ++i) {
    const SpacePoint d = points_[i] - mean;
    for (int k = 0; k < 3; ++k) {
      const double t = dot(d, axis[k]);
      lo[k] = std::min(lo[k], t), hi[k] = std::max(hi[k], t);
    }
  }
  for (int k = 0; k < 3; ++k) {
    box.centre = box.centre + (0.5 * (lo[k] + hi[k])) * axis[k];
    box.half[k] = (0.5 * (hi[k] - lo[k])) * axis[k];
  }
}

double FixTree::maxChord(int u, int v) const {
  const Node &a = node_[u], &b = node_[v];
  double sum = 0;
  for (int k = 0; k < 3; ++k) {
    const double d = std::max(a.hi[k] - b.lo[k], b.hi[k] - a.lo[k]);
    sum += d * d;
  }
  return std::sqrt(sum);
}

double FixTree::minChord(int u, int v) const {
  const Node &a = node_[u], &b = node_[v];
  double sum = 0;
  for (int k = 0; k < 3; ++k) {
    const double d = std::max({0.0, a.lo[k] - b.hi[k], b.lo[k] - a.hi[k]});
    sum += d * d;
  }
  return std::sqrt(sum);
}

int FixTree::corners(int v, SpacePoint out[4], double& thickness) const {
  const TurnedBox& box = turned_[v];
  out[0] = box.centre;
  int count = 1;
  for (const SpacePoint& half : {box.half[0], box.half[1]}) {
    if (half.x == 0 && half.y == 0 && half.z == 0) continue;
    for (int k = 0; k < count; ++k) {
      out[count + k] = out[k] + half;
      out[k] = out[k] - half;
    }
    count *= 2;
  }
  const SpacePoint& up = box.half[2];
  thickness = std::sqrt(up.x * up.x + up.y * up.y + up.z * up.z);
  return count;
}

void FixTree::cover(int first, int last, std::vector<int>& nodes) const {
  nodes.clear();
  if (first > last) return;
  // Bottom-up over the half-open leaf range; the right side collects in reverse.
  std::vector<int> right;
  for (int l = first + leaves_, r = last + 1 + leaves_; l < r; l /= 2, r /= 2) {
    if (l & 1) nodes.push_back(l++);
    if (r & 1) right.push_back(--r);
  }
  nodes.insert(nodes.end(), right.rbegin(), right.rend());
}

}  // namespace trelvano
