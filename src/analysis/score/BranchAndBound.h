#pragma once
// The search for the best route of K fixes in time order: boxes of K tree
// nodes, the most promising first; a box whose bound cannot beat the best
// route found is dropped, any other is split at its widest node until every
// node is a single fix, whose route is valued exactly.
//
// Problem supplies
//   double bound(const std::array<int, K>& nodes, double best)
//                                                   at least the value of every route in the box
//                                                   (-infinity when none qualifies; any value
//                                                   up to `best` when none beats it)
//   double value(const std::array<int, K>& fixes)   the route's exact value (-infinity when it does not qualify)
//   int splitFirst(const std::array<int, K>& nodes) the node to split before the widest (-1 = none)

#include "analysis/score/FixTree.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <functional>
#include <limits>
#include <optional>
#include <vector>

namespace trelvano {

template <int K>
struct RouteChoice {
  std::array<int, K> fixes{};  // fix indices in time order
  double value = 0;            // found() only when positive
  bool found() const { return value > 0; }
};

struct SearchControl {
  const std::atomic<bool>* stop = nullptr;
  std::function<void(double)> progress;  // the fraction of this search done, 0 … 1
  // Gives up after splitting this many boxes (0 = never), keeping the best
  // route found: enough where the route only has to be good.
  long long maxSplits = 0;
  // See ScoreControl.
  long long boxSplitsBeforeBlocks = 0;
};

template <int K, class Problem>
class BranchAndBound {
 public:
  BranchAndBound(const FixTree& tree, Problem& problem) : tree_(tree), problem_(problem) {}

  // Improves `best` to the best route; false when stopped before it was
  // sure (by the stop flag, not by control.maxSplits).
  bool run(RouteChoice<K>& best, const SearchControl& control) {
    gaveUp_ = false;
    if (tree_.size() == 0) return true;
    heap_.clear();
    Box root;
    root.node.fill(FixTree::root());
    if (!prepare(root, best)) return true;
    const double startGap = root.bound - best.value;
    double done = 0;
    // Each box popped is split, and its more promising half split again
    // right away, down to single fixes (the other half waits in the heap):
    // routes are valued early, and the best so far soon prunes.
    std::optional<Box> plunge = root;
    gaveUp_ = true;
    for (long long round = 0; control.maxSplits == 0 || round < control.maxSplits; ++round) {
      if ((round & 1023) == 0) {
        if (control.stop && control.stop->load(std::memory_order_relaxed)) return false;
        if (control.progress && startGap > 0 && !heap_.empty()) {
          done = std::max(done, std::clamp(1 - (heap_.front().bound - best.value) / startGap, 0.0, 1.0));
          control.progress(done);
        }
      }
      Box box;
      if (plunge) {
        box = *plunge;
        plunge.reset();
        if (box.bound <= best.value) continue;
      } else {
        if (heap_.empty()) {
          gaveUp_ = false;
          break;
        }
        std::pop_heap(heap_.begin(), heap_.end(), lowerBoundFirst);
        box = heap_.back();
        heap_.pop_back();
        if (box.bound <= best.value) {  // so is every box left
          gaveUp_ = false;
          break;
        }
      }
      const int k = widest(box);
      const int node = box.node[k];
      for (int child : {2 * node, 2 * node + 1}) {
        if (!tree_.exists(child)) continue;
        Box next = box;
        next.node[k] = child;
        if (!prepare(next, best)) continue;
        if (plunge && plunge->bound < next.bound) std::swap(*plunge, next);
        if (!plunge) {
          plunge = next;
        } else {
          heap_.push_back(next);
          std::push_heap(heap_.begin(), heap_.end(), lowerBoundFirst);
        }
      }
    }
    heap_.clear();
    if (control.progress) control.progress(1);
    return true;
  }
  // Whether the last run() stopped at control.maxSplits before it was sure.
  bool gaveUp() const { return gaveUp_; }

 private:
  struct Box {
    double bound;
    std::array<int, K> node;
  };
  static bool lowerBoundFirst(const Box& a, const Box& b) { return a.bound < b.bound; }

  // Bounds a box; values a box of single fixes at once. True when the box
  // is to be split: it may hold a route that beats `best`.
  bool prepare(Box& box, RouteChoice<K>& best) {
    int reached = -1;  // the earliest fix the route can have got to
    bool single = true;
    for (int k = 0; k < K; ++k) {
      reached = std::max(reached, tree_.first(box.node[k]));
      if (reached > tree_.last(box.node[k])) return false;  // no fixes in time order
      single = single && tree_.count(box.node[k]) == 1;
    }
    box.bound = problem_.bound(box.node, best.value);
    if (!(box.bound > best.value)) return false;
    if (!single) return true;
    std::array<int, K> fixes;
    for (int k = 0; k < K; ++k) fixes[k] = tree_.first(box.node[k]);
    const double value = problem_.value(fixes);
    if (value > best.value) best = {fixes, value};
    return false;
  }

  // The node to split: the one whose fixes lie farthest apart; among nodes
  // whose fixes all lie on one spot, the one with the most fixes.
  int widest(const Box& box) const {
    int best = problem_.splitFirst(box.node);
    if (best >= 0) return best;
    for (int k = 0; k < K; ++k) {
      const int v = box.node[k];
      if (tree_.count(v) == 1) continue;
      if (best < 0) {
        best = k;
        continue;
      }
      const int w = box.node[best];
      if (tree_.extent(v) > tree_.extent(w) || (tree_.extent(v) == tree_.extent(w) && tree_.count(v) > tree_.count(w)))
        best = k;
    }
    return best;
  }

  const FixTree& tree_;
  Problem& problem_;
  std::vector<Box> heap_;
  bool gaveUp_ = false;
};

}  // namespace trelvano
