#pragma once
// The best path of K fixes in time order without a height rule (the free
// distance), found by a chain of best routes over blocks of fixes: each leg
// between two blocks is bounded from above, the best chain over blocks
// bounds every route, and only the blocks some chain through which could
// still beat the best route found are halved, until that bound meets it.
// Along a straight glide, where countless routes lie within millimetres of
// each other, this visits each block once a round instead of every
// combination of boxes.

#include "analysis/score/BranchAndBound.h"
#include "analysis/score/RouteProblems.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

namespace trelvano {

template <int K>
class PathByBlocks {
 public:
  explicit PathByBlocks(ScoreGeometry& g) : g_(g) {}

  // Improves `best` to the best path; false when stopped before it was sure.
  bool run(RouteChoice<K>& best, const SearchControl& control) {
    const FixTree& tree = g_.tree;
    if (tree.size() == 0) return true;
    // Some hundreds of blocks to begin with.
    blocks_.assign(1, {FixTree::root(), kAllPositions});
    while (blocks_.size() < kFirstBlocks && split()) {
    }
    double startGap = -1, done = 0;
    for (;;) {
      if (control.stop && control.stop->load(std::memory_order_relaxed)) return false;
      prepareBlocks();
      const double bound = forward(best);
      if (!(bound > best.value)) break;
      if (startGap < 0) startGap = bound - best.value;
      if (control.progress && startGap > 0) {
        done = std::max(done, std::clamp(1 - (bound - best.value) / startGap, 0.0, 1.0));
        control.progress(done);
      }
      backward();
      prune(best.value);
      if (!split()) {
        // Every block left is a single fix and the bound is exact: the
        // chain found by forward() is the best route.
        prepareBlocks();
        forward(best);
        break;
      }
    }
    if (control.progress) control.progress(1);
    return true;
  }

 private:
  static constexpr std::uint8_t kAllPositions = (1u << K) - 1;
  static constexpr size_t kFirstBlocks = 256;

  struct Block {
    int node;
    std::uint8_t positions;  // bit k: the block may still hold the route's k-th fix
  };

  // Replaces each block of more than one fix by its halves; false when all
  // are single fixes.
  bool split() {
    std::vector<Block> next;
    next.reserve(2 * blocks_.size());
    bool any = false;
    for (const Block& b : blocks_) {
      if (g_.tree.isLeaf(b.node)) {
        next.push_back(b);
        continue;
      }
      any = true;
      for (int child : {2 * b.node, 2 * b.node + 1})
        if (g_.tree.exists(child)) next.push_back({child, b.positions});
    }
    blocks_.swap(next);
    return any;
  }

  // The blocks' corners and the bound of every leg between two of them.
  void prepareBlocks() {
    const int n = static_cast<int>(blocks_.size());
    corners_.resize(n);
    for (int a = 0; a < n; ++a) {
      Corners& c = corners_[a];
      c.count = g_.tree.corners(blocks_[a].node, c.point, c.thickness);
    }
    legs_.resize(size_t(n) * (n + 1) / 2);
    exact_.assign(legs_.size(), 0);
    for (int a = 0; a < n; ++a)
      for (int b = a; b < n; ++b) legs_[legIndex(a, b)] = legBound(a, b);
  }
  // The bound of the leg from block a to block b, measured exactly between
  // two single fixes once it could matter (the geodesic costs a hundred
  // times the straight line).
  double leg(int a, int b, double needed) {
    const size_t i = legIndex(a, b);
    if (legs_[i] > needed && !exact_[i]) {
      exact_[i] = 1;
      const int u = blocks_[a].node, v = blocks_[b].node;
      if (a != b && g_.tree.isLeaf(u) && g_.tree.isLeaf(v)) legs_[i] = g_.metres(g_.tree.first(u), g_.tree.first(v));
    }
    return legs_[i];
  }
  size_t legIndex(int a, int b) const {
    const size_t n = blocks_.size();
    return size_t(a) * n - size_t(a) * (a - 1) / 2 + size_t(b - a);
  }

  // At least the distance from any fix of block a to any later one of block b.
  double legBound(int a, int b) const {
    const FixTree& tree = g_.tree;
    const int u = blocks_[a].node, v = blocks_[b].node;
    if (a == b) return tree.isLeaf(u) ? 0 : g_.earth.atMost(tree.extent(u));
    // The farthest two points of two boxes are corners of them; each turned
    // box's corners lie on its middle layer, its fixes up to its thickness off it.
    const Corners &p = corners_[a], &q = corners_[b];
    double longest = 0;
    for (int i = 0; i < p.count; ++i)
      for (int j = 0; j < q.count; ++j) {
        const double dx = p.point[i].x - q.point[j].x, dy = p.point[i].y - q.point[j].y,
                     dz = p.point[i].z - q.point[j].z;
        longest = std::max(longest, dx * dx + dy * dy + dz * dz);
      }
    const double turned = std::sqrt(longest) + p.thickness + q.thickness;
    return g_.earth.atMost(std::min(turned, tree.maxChord(u, v)));
  }

  // best_[k][b]: the longest chain of bounds whose k-th point lies in block
  // b. Returns the bound of the whole path, and values the best chain's route
  // (each block's first fix) as a real route.
  double forward(RouteChoice<K>& best) {
    const int n = static_cast<int>(blocks_.size());
    for (auto& row : ahead_) row.assign(n, kNoRoute);
    for (auto& row : from_) row.assign(n, -1);
    for (int b = 0; b < n; ++b)
      if (blocks_[b].positions & 1u) ahead_[0][b] = 0;
    for (int k = 1; k < K; ++k)
      for (int b = 0; b < n; ++b) {
        if (!(blocks_[b].positions & (1u << k))) continue;
        double most = kNoRoute;
        int from = -1;
        for (int a = 0; a <= b; ++a) {
          const double value = ahead_[k - 1][a] + leg(a, b, most - ahead_[k - 1][a]);
          if (value > most) most = value, from = a;
        }
        ahead_[k][b] = most, from_[k][b] = from;
      }
    int end = -1;
    double bound = kNoRoute;
    for (int b = 0; b < n; ++b)
      if (ahead_[K - 1][b] > bound) bound = ahead_[K - 1][b], end = b;
    if (end < 0) return kNoRoute;
    std::array<int, K> fixes;
    for (int k = K - 1, b = end; k >= 0; b = from_[k][b], --k) fixes[k] = g_.tree.first(blocks_[b].node);
    double value = 0;
    for (int k = 0; k + 1 < K; ++k) value += g_.metres(fixes[k], fixes[k + 1]);
    if (value > best.value) best = {fixes, value};
    return bound;
  }

  // behind_[k][b]: the longest chain of bounds from the k-th point in block b to the end.
  void backward() {
    const int n = static_cast<int>(blocks_.size());
    for (auto& row : behind_) row.assign(n, kNoRoute);
    for (int b = 0; b < n; ++b)
      if (blocks_[b].positions & (1u << (K - 1))) behind_[K - 1][b] = 0;
    for (int k = K - 2; k >= 0; --k)
      for (int a = 0; a < n; ++a) {
        if (!(blocks_[a].positions & (1u << k))) continue;
        double most = kNoRoute;
        for (int b = a; b < n; ++b) most = std::max(most, leg(a, b, most - behind_[k + 1][b]) + behind_[k + 1][b]);
        behind_[k][a] = most;
      }
  }

  // Drops each block from the places in the route where no chain through it
  // beats `best`, and the blocks left with none.
  void prune(double best) {
    const int n = static_cast<int>(blocks_.size());
    std::vector<Block> kept;
    kept.reserve(n);
    for (int b = 0; b < n; ++b) {
      Block block = blocks_[b];
      for (int k = 0; k < K; ++k)
        if (!(ahead_[k][b] + behind_[k][b] > best)) block.positions &= ~(1u << k);
      if (block.positions) kept.push_back(block);
    }
    blocks_.swap(kept);
  }

  struct Corners {
    SpacePoint point[4];
    double thickness;
    int count;
  };

  ScoreGeometry& g_;
  std::vector<Block> blocks_;  // in time order, each a whole tree node
  std::vector<Corners> corners_;
  std::vector<double> legs_;         // the leg bounds of the blocks a <= b, row by row
  std::vector<std::uint8_t> exact_;  // whether leg() has measured a leg's bound
  std::array<std::vector<double>, K> ahead_, behind_;
  std::array<std::vector<int>, K> from_;
};

}  // namespace trelvano
