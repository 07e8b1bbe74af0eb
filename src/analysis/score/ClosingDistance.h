#pragma once
// The closing distance of a triangle: the shortest distance between a fix
// before its first turnpoint (the start) and one after its last (the finish),
// found by a search over pairs of tree nodes that drops every pair farther
// apart than the best found. Answers are kept, since the solver asks the same
// questions many times.

#include "analysis/score/FixTree.h"
#include "analysis/score/FlightScore.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace trelvano {

class ClosingDistance {
 public:
  struct Pair {
    double metres;
    int start, finish;  // fix indices
  };

  ClosingDistance(const FixTree& tree, const EarthDistance& earth, const std::vector<ScoreFix>& fixes)
      : tree_(tree), earth_(earth), fixes_(fixes) {}

  // The closest start at or before `lastStart` and finish at or after
  // `firstFinish`. Where the two ranges meet, the distance is 0.
  Pair closest(int lastStart, int firstFinish);

 private:
  Pair search(int lastStart, int firstFinish);

  const FixTree& tree_;
  const EarthDistance& earth_;
  const std::vector<ScoreFix>& fixes_;
  std::unordered_map<uint64_t, Pair> known_;
  struct Candidate {
    double atLeast;
    int start, finish;  // nodes
  };
  std::vector<Candidate> heap_;
  std::vector<int> starts_, finishes_;
};

}  // namespace trelvano
