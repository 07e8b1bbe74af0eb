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
#include <unordered_map>
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

  // The route's points stand at corners: the sum of straight legs grows
  // with each point's distance from its neighbours, so over boxes it is
  // longest with every point at a corner of its box, the same corner for
  // both its legs (its bound is convex up to the longest chord). A state is
  // one corner of one block; a single fix has one, its own place.
  void prepareBlocks() {
    states_.clear();
    for (int b = 0; b < static_cast<int>(blocks_.size()); ++b) {
      Corners c;
      c.count = g_.tree.corners(blocks_[b].node, c.point, c.thickness);
      if (g_.tree.isLeaf(blocks_[b].node))
        c.count = 1, c.thickness = 0, c.point[0] = g_.tree.point(g_.tree.first(blocks_[b].node));
      for (int i = 0; i < c.count; ++i) states_.push_back({c.point[i], c.thickness, b});
    }
  }

  // At least the distance from any fix near corner s to any later one near
  // corner t; between two single fixes, once it could matter, exactly (the
  // geodesic costs a hundred times the straight line).
  double leg(int s, int t, double needed) {
    const State &p = states_[s], &q = states_[t];
    const int u = blocks_[p.block].node, v = blocks_[q.block].node;
    const double dx = p.corner.x - q.corner.x, dy = p.corner.y - q.corner.y, dz = p.corner.z - q.corner.z;
    // A fix up to `thickness` off its corner's layer lengthens the chord by
    // at most that much and its bound by less than 1.25 m a metre.
    const double bound = g_.earth.atMost(std::sqrt(dx * dx + dy * dy + dz * dz)) + 1.25 * (p.thickness + q.thickness);
    if (!(bound > needed) || !g_.tree.isLeaf(u) || !g_.tree.isLeaf(v) || u == v) return bound;
    const std::uint64_t key = (std::uint64_t(std::uint32_t(u)) << 32) | std::uint32_t(v);
    auto [it, added] = exact_.try_emplace(key, 0.0);
    if (added) it->second = g_.metres(g_.tree.first(u), g_.tree.first(v));
    return it->second;
  }
  bool allowed(int s, int k) const { return blocks_[states_[s].block].positions & (1u << k); }

  // ahead_[k][s]: the longest chain of bounds whose k-th point stands at
  // state s. Returns the bound of the whole path, and values the best
  // chain's route (each block's first fix) as a real route.
  double forward(RouteChoice<K>& best) {
    const int n = static_cast<int>(states_.size());
    for (auto& row : ahead_) row.assign(n, kNoRoute);
    for (auto& row : from_) row.assign(n, -1);
    for (int s = 0; s < n; ++s)
      if (allowed(s, 0)) ahead_[0][s] = 0;
    for (int k = 1; k < K; ++k)
      for (int t = 0; t < n; ++t) {
        if (!allowed(t, k)) continue;
        double most = kNoRoute;
        int from = -1;
        // Every state of the blocks up to t's own.
        for (int s = 0; s < n && states_[s].block <= states_[t].block; ++s) {
          if (ahead_[k - 1][s] == kNoRoute) continue;
          const double value = ahead_[k - 1][s] + leg(s, t, most - ahead_[k - 1][s]);
          if (value > most) most = value, from = s;
        }
        ahead_[k][t] = most, from_[k][t] = from;
      }
    int end = -1;
    double bound = kNoRoute;
    for (int s = 0; s < n; ++s)
      if (ahead_[K - 1][s] > bound) bound = ahead_[K - 1][s], end = s;
    if (end < 0) return kNoRoute;
    std::array<int, K> fixes;
    for (int k = K - 1, s = end; k >= 0; s = from_[k][s], --k) fixes[k] = g_.tree.first(blocks_[states_[s].block].node);
    double value = 0;
    for (int k = 0; k + 1 < K; ++k) value += g_.metres(fixes[k], fixes[k + 1]);
    if (value > best.value) best = {fixes, value};
    return bound;
  }

  // behind_[k][s]: the longest chain of bounds from the k-th point at state s to the end.
  void backward() {
    const int n = static_cast<int>(states_.size());
    for (auto& row : behind_) row.assign(n, kNoRoute);
    for (int s = 0; s < n; ++s)
      if (allowed(s, K - 1)) behind_[K - 1][s] = 0;
    for (int k = K - 2; k >= 0; --k)
      for (int s = 0; s < n; ++s) {
        if (!allowed(s, k)) continue;
        double most = kNoRoute;
        int t = s;
        while (t > 0 && states_[t - 1].block == states_[s].block) --t;
        for (; t < n; ++t) {
          if (behind_[k + 1][t] == kNoRoute) continue;
          most = std::max(most, leg(s, t, most - behind_[k + 1][t]) + behind_[k + 1][t]);
        }
        behind_[k][s] = most;
      }
  }

  // Drops each block from the places in the route where no chain through it
  // beats `best`, and the blocks left with none.
  void prune(double best) {
    std::vector<std::uint8_t> live(blocks_.size(), 0);
    for (int s = 0; s < static_cast<int>(states_.size()); ++s)
      for (int k = 0; k < K; ++k)
        if (ahead_[k][s] + behind_[k][s] > best) live[states_[s].block] |= std::uint8_t(1u << k);
    std::vector<Block> kept;
    for (size_t b = 0; b < blocks_.size(); ++b)
      if (live[b]) kept.push_back({blocks_[b].node, std::uint8_t(blocks_[b].positions & live[b])});
    blocks_.swap(kept);
  }

  struct Corners {
    SpacePoint point[4];
    double thickness;
    int count;
  };

  struct State {
    SpacePoint corner;
    double thickness;
    int block;
  };

  ScoreGeometry& g_;
  std::vector<Block> blocks_;                        // in time order, each a whole tree node
  std::vector<State> states_;                        // block by block
  std::unordered_map<std::uint64_t, double> exact_;  // the geodesics measured, by leaf nodes
  std::array<std::vector<double>, K> ahead_, behind_;
  std::array<std::vector<int>, K> from_;
};

}  // namespace trelvano
