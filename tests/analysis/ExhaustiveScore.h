#pragma once
// The best distance of each flight type found by trying every choice of
// fixes, with the same rules and distances as the solver: the truth the
// solver is held against on flights of a few hundred fixes.

#include "analysis/score/EarthDistance.h"
#include "analysis/score/FlightScore.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace trelvano {

class ExhaustiveScore {
 public:
  ExhaustiveScore(const std::vector<ScoreFix>& fixes, DistanceFormula formula)
      : fixes_(fixes), n_(static_cast<int>(fixes.size())), d_(size_t(n_) * n_) {
    const EarthDistance earth(formula);
    for (int i = 0; i < n_; ++i)
      for (int j = 0; j < n_; ++j)
        d_[size_t(i) * n_ + j] = earth.metres(fixes[i].lat, fixes[i].lon, fixes[j].lat, fixes[j].lon);
  }

  // Metres; 0 when the flight has no route of this type.
  double best(const FlightTypeRule& rule) const {
    return rule.shape == RouteShape::Triangle ? triangle(rule) : path(rule);
  }

 private:
  static constexpr double kNone = -std::numeric_limits<double>::infinity();
  double d(int i, int j) const { return d_[size_t(i) * n_ + j]; }

  // Longest route through rule.points fixes in time order (a fix may
  // repeat); with a height limit from each start in turn, to the finishes
  // high enough.
  double path(const FlightTypeRule& rule) const {
    const bool limited = std::isfinite(rule.maxHeightLoss);
    double best = 0;
    for (int s = 0; s < (limited ? n_ : 1); ++s) {
      std::vector<double> reach(n_, limited ? kNone : 0.0);
      reach[s] = 0;
      for (int k = 1; k < rule.points; ++k) {
        std::vector<double> next(n_, kNone);
        for (int j = s; j < n_; ++j)
          for (int i = s; i <= j; ++i) next[j] = std::max(next[j], reach[i] + d(i, j));
        reach = next;
      }
      for (int f = s; f < n_; ++f)
        if (!limited || fixes_[f].altitude >= fixes_[s].altitude - rule.maxHeightLoss) best = std::max(best, reach[f]);
    }
    return best;
  }

  // Every triangle of fixes in time order, closed by the nearest start
  // before its first and finish after its last turnpoint.
  double triangle(const FlightTypeRule& rule) const {
    // closest[a][b]: the shortest distance from a fix up to a to one from b on.
    std::vector<double> closest(size_t(n_) * n_, std::numeric_limits<double>::infinity());
    auto at = [&](int a, int b) -> double& { return closest[size_t(a) * n_ + b]; };
    for (int a = 0; a < n_; ++a)
      for (int b = n_ - 1; b >= a; --b) {
        at(a, b) = d(a, b);
        if (a > 0) at(a, b) = std::min(at(a, b), at(a - 1, b));
        if (b + 1 < n_) at(a, b) = std::min(at(a, b), at(a, b + 1));
      }
    double best = 0;
    for (int i = 0; i < n_; ++i)
      for (int j = i; j < n_; ++j)
        for (int k = j; k < n_; ++k) best = std::max(best, triangleDistance(rule, d(i, j), d(j, k), d(k, i), at(i, k)));
    return best;
  }

  const std::vector<ScoreFix>& fixes_;
  int n_;
  std::vector<double> d_;
};

}  // namespace trelvano
