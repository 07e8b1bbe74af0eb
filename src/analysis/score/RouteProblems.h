#pragma once
// What the branch and bound maximises for each shape of route: the bound of a
// box of tree nodes and the exact value of a route, both in metres.

#include "analysis/score/ClosingDistance.h"
#include "analysis/score/FixTree.h"
#include "analysis/score/FlightScore.h"

#include <array>
#include <cmath>
#include <limits>

namespace trelvano {

// The fixes of a flight with what the bounds and distances need.
struct ScoreGeometry {
  ScoreGeometry(std::vector<ScoreFix> fixes, DistanceFormula formula);
  ScoreGeometry(const ScoreGeometry&) = delete;  // `closing` refers to the members before it
  ScoreGeometry& operator=(const ScoreGeometry&) = delete;

  double metres(int i, int j) const { return earth.metres(fixes[i].lat, fixes[i].lon, fixes[j].lat, fixes[j].lon); }
  double atMost(int u, int v) const { return earth.atMost(tree.maxChord(u, v)); }
  double atLeast(int u, int v) const { return earth.atLeast(tree.minChord(u, v)); }

  std::vector<ScoreFix> fixes;
  EarthDistance earth;
  FixTree tree;
  ClosingDistance closing;
  // The track flown up to each fix, metres, measured so that it is never
  // shorter than the distance between any two of its fixes.
  std::vector<double> track;
};

constexpr double kNoRoute = -std::numeric_limits<double>::infinity();

// Start, turnpoints and finish: the sum of the legs, the finish no more than
// the rule's limit below the start.
template <int K>
struct PathProblem {
  ScoreGeometry& g;
  const FlightTypeRule& rule;

  double bound(const std::array<int, K>& n, double best) const {
    if (std::isfinite(rule.maxHeightLoss) &&
        !(g.tree.maxAltitude(n[K - 1]) >= g.tree.minAltitude(n[0]) - rule.maxHeightLoss))
      return kNoRoute;
    // Each leg is no longer than the straight line between its boxes, nor
    // than the track flown from the first fix of one to the last of the next.
    std::array<bool, K> alongTrack{};
    double sum = 0, longest = 0;
    for (int k = 1; k < K; ++k) {
      const double chord = g.tree.maxChord(n[k - 1], n[k]);
      const double line = g.earth.atMost(chord);
      const double track = g.track[g.tree.last(n[k])] - g.track[g.tree.first(n[k - 1])];
      alongTrack[k] = track < line;
      sum += std::min(line, track);
      longest = std::max(longest, chord);
    }
    if (sum <= best || !g.earth.boundIsConvex(longest)) return sum;
    double bound = std::min(sum, chainBound(n, alongTrack));
    if (bound <= best) return bound;
    // Turnpoints that share a stretch of the flight may each take a far
    // corner of it; along the track they cannot turn back.
    std::array<bool, K> shared{};
    bool any = false;
    for (int k = 1; k < K; ++k) {
      shared[k] = alongTrack[k] || g.tree.first(n[k]) <= g.tree.last(n[k - 1]);
      any = any || shared[k] != alongTrack[k];
    }
    return any ? std::min(bound, chainBound(n, shared)) : bound;
  }
  // The same bounds of the legs, taken over the route as a whole: a point
  // between two straight legs stands at the same corner of its box for both
  // (the legs grow with its distance from its neighbours, so over a box they
  // are longest at corners), which keeps a route of boxes from bending back;
  // a run of legs along the track adds up to the track from the first fix
  // of the run's first box to the last of its last, and a straight leg on
  // either side of it is bounded from that fix (it is no longer than the
  // straight line to that fix plus the track between).
  double chainBound(const std::array<int, K>& n, const std::array<bool, K>& alongTrack) const {
    SpacePoint corner[2][4];
    double thickness[2];
    int count[2];
    // The best route to point k: at each corner of its box; at its box's
    // first fix, from which the track leads on; inside a run along the track
    // (the route before it less the track up to the run's start); at its
    // box's last fix, reached along the track.
    double atCorner[2][4], atFirst[2], inRun[2], atLast[2];
    count[0] = g.tree.corners(n[0], corner[0], thickness[0]);
    std::fill_n(atCorner[0], 4, 0.0);
    atFirst[0] = 0, inRun[0] = kNoRoute, atLast[0] = kNoRoute;
    for (int k = 1; k < K; ++k) {
      const int now = k & 1, before = now ^ 1;
      count[now] = g.tree.corners(n[k], corner[now], thickness[now]);
      if (alongTrack[k]) {
        std::fill_n(atCorner[now], 4, kNoRoute);
        atFirst[now] = kNoRoute;
        inRun[now] = std::max(inRun[before], atFirst[before] - g.track[g.tree.first(n[k - 1])]);
        atLast[now] = inRun[now] + g.track[g.tree.last(n[k])];
        continue;
      }
      // A fix up to `thickness` off a corner's layer adds at most that much
      // to the chord, and a little more to its bound, which grows by less
      // than 1.25 m a metre below 5000 km.
      const SpacePoint& lastBefore = g.tree.point(g.tree.last(n[k - 1]));
      auto reach = [&](const SpacePoint& to, double off) {
        double most = atLast[before] + straight(lastBefore, to) + 1.25 * off;
        for (int i = 0; i < count[before]; ++i)
          most =
              std::max(most, atCorner[before][i] + straight(corner[before][i], to) + 1.25 * (off + thickness[before]));
        return most;
      };
      for (int j = 0; j < count[now]; ++j) atCorner[now][j] = reach(corner[now][j], thickness[now]);
      atFirst[now] = reach(g.tree.point(g.tree.first(n[k])), 0);
      inRun[now] = atLast[now] = kNoRoute;
    }
    const int end = (K - 1) & 1;
    return std::max(*std::max_element(atCorner[end], atCorner[end] + count[end]), atLast[end]);
  }
  double straight(const SpacePoint& a, const SpacePoint& b) const {
    const double dx = a.x - b.x, dy = a.y - b.y, dz = a.z - b.z;
    return g.earth.atMost(std::sqrt(dx * dx + dy * dy + dz * dz));
  }
  // While some starts of the box lie too high for some of its finishes,
  // the bound may rest on routes that are not allowed: split the start or
  // the finish first. Otherwise split the point whose place in its box
  // matters most: the one whose corners lead to the best and the worst
  // routes through the box farthest apart. A turnpoint on a straight glide
  // between its neighbours changes the route little wherever it lies, and
  // splitting it first would only multiply the boxes.
  int splitFirst(const std::array<int, K>& n) const {
    if (std::isfinite(rule.maxHeightLoss) &&
        g.tree.minAltitude(n[K - 1]) < g.tree.maxAltitude(n[0]) - rule.maxHeightLoss) {
      const int start = g.tree.count(n[0]), finish = g.tree.count(n[K - 1]);
      if (start > 1 || finish > 1) return start >= finish ? 0 : K - 1;
    }
    SpacePoint corner[K][4];
    int count[K];
    double forward[K][4], backward[K][4];
    for (int k = 0; k < K; ++k) {
      double thickness;
      count[k] = g.tree.corners(n[k], corner[k], thickness);
    }
    std::fill_n(forward[0], 4, 0.0);
    std::fill_n(backward[K - 1], 4, 0.0);
    for (int k = 1; k < K; ++k) {
      for (int j = 0; j < count[k]; ++j) {
        forward[k][j] = 0;
        for (int i = 0; i < count[k - 1]; ++i)
          forward[k][j] = std::max(forward[k][j], forward[k - 1][i] + straight(corner[k - 1][i], corner[k][j]));
      }
      const int b = K - 1 - k;
      for (int j = 0; j < count[b]; ++j) {
        backward[b][j] = 0;
        for (int i = 0; i < count[b + 1]; ++i)
          backward[b][j] = std::max(backward[b][j], backward[b + 1][i] + straight(corner[b][j], corner[b + 1][i]));
      }
    }
    int split = -1;
    double widest = 0;
    for (int k = 0; k < K; ++k) {
      if (g.tree.count(n[k]) == 1) continue;
      double most = kNoRoute, least = -kNoRoute;
      for (int c = 0; c < count[k]; ++c) {
        most = std::max(most, forward[k][c] + backward[k][c]);
        least = std::min(least, forward[k][c] + backward[k][c]);
      }
      if (most - least > widest) widest = most - least, split = k;
    }
    return split;
  }
  double value(const std::array<int, K>& f) const {
    if (std::isfinite(rule.maxHeightLoss) &&
        !(g.fixes[f[K - 1]].altitude >= g.fixes[f[0]].altitude - rule.maxHeightLoss))
      return kNoRoute;
    double sum = 0;
    for (int k = 0; k + 1 < K; ++k) sum += g.metres(f[k], f[k + 1]);
    return sum;
  }
};

// Three turnpoints: the perimeter, less the closing distance where the rule
// takes it off, for triangles closed within the rule's allowance.
struct TriangleProblem {
  ScoreGeometry& g;
  const FlightTypeRule& rule;

  double bound(const std::array<int, 3>& n, double) const {
    const double a = g.atMost(n[0], n[1]), b = g.atMost(n[1], n[2]), c = g.atMost(n[2], n[0]);
    double perimeter = a + b + c;
    if (rule.minLegShare > 0) {
      // Each leg of a qualifying triangle is at least its share of the
      // perimeter, so none is more than the perimeter less two such shares.
      perimeter = std::min(perimeter, std::min({a, b, c}) / rule.minLegShare);
      const double least = std::max({g.atLeast(n[0], n[1]), g.atLeast(n[1], n[2]), g.atLeast(n[2], n[0])});
      if (least > (1 - 2 * rule.minLegShare) * perimeter) return kNoRoute;
    }
    // The latest start and the earliest finish the box allows come closest.
    const double gap = g.closing.closest(g.tree.last(n[0]), g.tree.first(n[2])).metres;
    if (gap > closingAllowance(rule, perimeter)) return kNoRoute;
    return rule.closingDeducted ? perimeter - gap : perimeter;
  }
  int splitFirst(const std::array<int, 3>&) const { return -1; }
  double value(const std::array<int, 3>& f) const {
    const double gap = g.closing.closest(f[0], f[2]).metres;
    const double d = triangleDistance(rule, g.metres(f[0], f[1]), g.metres(f[1], f[2]), g.metres(f[2], f[0]), gap);
    return d >= 0 ? d : kNoRoute;
  }
};

}  // namespace trelvano
