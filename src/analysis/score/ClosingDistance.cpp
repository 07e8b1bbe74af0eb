#include "analysis/score/ClosingDistance.h"

#include <algorithm>

namespace trelvano {

ClosingDistance::Pair ClosingDistance::closest(int lastStart, int firstFinish) {
  if (lastStart >= firstFinish) return {0, firstFinish, firstFinish};
  const uint64_t key = (uint64_t(uint32_t(lastStart)) << 32) | uint32_t(firstFinish);
  const auto found = known_.find(key);
  if (found != known_.end()) return found->second;
  const Pair pair = search(lastStart, firstFinish);
  known_.emplace(key, pair);
  return pair;
}

ClosingDistance::Pair ClosingDistance::search(int lastStart, int firstFinish) {
  auto exact = [&](int s, int f) { return earth_.metres(fixes_[s].lat, fixes_[s].lon, fixes_[f].lat, fixes_[f].lon); };
  // The two fixes next to the turnpoints are a start and finish to beat.
  Pair best{exact(lastStart, firstFinish), lastStart, firstFinish};
  const auto nearestFirst = [](const Candidate& a, const Candidate& b) { return a.atLeast > b.atLeast; };
  heap_.clear();
  auto consider = [&](int s, int f) {
    const double atLeast = earth_.atLeast(tree_.minChord(s, f));
    if (atLeast >= best.metres) return;
    heap_.push_back({atLeast, s, f});
    std::push_heap(heap_.begin(), heap_.end(), nearestFirst);
  };
  tree_.cover(0, lastStart, starts_);
  tree_.cover(firstFinish, tree_.size() - 1, finishes_);
  for (int s : starts_)
    for (int f : finishes_) consider(s, f);
  while (!heap_.empty() && heap_.front().atLeast < best.metres) {
    std::pop_heap(heap_.begin(), heap_.end(), nearestFirst);
    const Candidate c = heap_.back();
    heap_.pop_back();
    const bool startLeaf = tree_.isLeaf(c.start), finishLeaf = tree_.isLeaf(c.finish);
    if (startLeaf && finishLeaf) {
      const int s = tree_.first(c.start), f = tree_.first(c.finish);
      const double d = exact(s, f);
      if (d < best.metres) best = {d, s, f};
      continue;
    }
    // Split the wider of the two nodes.
    if (finishLeaf || (!startLeaf && tree_.extent(c.start) >= tree_.extent(c.finish))) {
      for (int child : {2 * c.start, 2 * c.start + 1})
        if (tree_.exists(child)) consider(child, c.finish);
    } else {
      for (int child : {2 * c.finish, 2 * c.finish + 1})
        if (tree_.exists(child)) consider(c.start, child);
    }
  }
  return best;
}

}  // namespace trelvano
