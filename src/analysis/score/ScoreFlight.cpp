#include "analysis/score/ScoreFlight.h"

#include "analysis/score/BranchAndBound.h"
#include "analysis/score/PathByBlocks.h"
#include "analysis/score/RouteProblems.h"
#include "model/RunError.h"

#include <cmath>

namespace trelvano {

ScoreGeometry::ScoreGeometry(std::vector<ScoreFix> all, DistanceFormula formula)
    : fixes(std::move(all)),
      earth(formula),
      tree(
          [&] {
            std::vector<SpacePoint> points;
            points.reserve(fixes.size());
            for (const ScoreFix& f : fixes) points.push_back(earth.point(f.lat, f.lon));
            return points;
          }(),
          [&] {
            std::vector<double> altitudes;
            altitudes.reserve(fixes.size());
            for (const ScoreFix& f : fixes) altitudes.push_back(f.altitude);
            return altitudes;
          }()),
      closing(tree, earth, fixes),
      track(fixes.size()) {
  // Each step at least the distance between its fixes: the bound of their chord.
  for (size_t i = 1; i < fixes.size(); ++i) {
    const SpacePoint &a = tree.point(i - 1), &b = tree.point(i);
    track[i] = track[i - 1] + earth.atMost(std::hypot(a.x - b.x, a.y - b.y, a.z - b.z));
  }
}

namespace {

// A flight is first scored on every 8th fix, that one on every 8th of its
// own, and so on down to a few dozen: the routes of each level give the next
// finer one a good route to beat from the start, which prunes most boxes.
// Only the flight itself needs the proof that no route beats the best; the
// coarser levels stop searching after a while.
constexpr int kThinning = 8;
constexpr int kCoarsest = 64;
constexpr long long kCoarseSplits = 20000;

// A route as fix indices into the fixes being scored: a path's fixes, or a
// triangle's three turnpoints.
struct Route {
  std::vector<int> fixes;
  double metres = 0;  // the scored distance; 0 = none found
};

// The best of the routes to start from that fit this search.
template <int K, class Problem>
RouteChoice<K> bestSeed(const Problem& problem, const std::vector<const Route*>& seeds) {
  RouteChoice<K> best;
  for (const Route* seed : seeds) {
    if (static_cast<int>(seed->fixes.size()) != K) continue;
    std::array<int, K> fixes;
    std::copy(seed->fixes.begin(), seed->fixes.end(), fixes.begin());
    if (!std::is_sorted(fixes.begin(), fixes.end())) continue;
    const double value = problem.value(fixes);
    if (value > best.value) best = {fixes, value};
  }
  return best;
}

template <int K>
void keepRoute(const RouteChoice<K>& best, Route& out) {
  out.fixes.assign(best.fixes.begin(), best.fixes.end());
  out.metres = best.found() ? best.value : 0;
  if (!best.found()) out.fixes.clear();
}

template <int K, class Problem>
bool searchRoute(ScoreGeometry& g, Problem& problem, const std::vector<const Route*>& seeds, Route& out,
                 const SearchControl& control) {
  RouteChoice<K> best = bestSeed<K>(problem, seeds);
  const bool complete = BranchAndBound<K, Problem>(g.tree, problem).run(best, control);
  keepRoute(best, out);
  return complete;
}

template <int K>
bool searchPath(ScoreGeometry& g, const FlightTypeRule& rule, const std::vector<const Route*>& seeds, Route& out,
                const SearchControl& control) {
  PathProblem<K> problem{g, rule};
  if (std::isfinite(rule.maxHeightLoss) || !g.earth.boundIsConvex(g.tree.extent(FixTree::root())))
    return searchRoute<K>(g, problem, seeds, out, control);
  // Without a height rule the legs chain freely. Most flights are proven
  // soonest by boxes; where they stall (long straight glides, countless
  // routes within millimetres of the best), the best over blocks of fixes.
  RouteChoice<K> best = bestSeed<K>(problem, seeds);
  const bool finest = control.maxSplits == 0;
  bool gaveUp = true;
  if (!finest || control.boxSplitsBeforeBlocks > 0) {
    SearchControl boxes = control;
    if (finest) boxes.maxSplits = control.boxSplitsBeforeBlocks;
    BranchAndBound<K, PathProblem<K>> search(g.tree, problem);
    if (!search.run(best, boxes)) return keepRoute(best, out), false;
    gaveUp = search.gaveUp();
  }
  if (gaveUp && finest && !PathByBlocks<K>(g).run(best, control)) return keepRoute(best, out), false;
  keepRoute(best, out);
  return true;
}

bool searchType(ScoreGeometry& g, const FlightTypeRule& rule, const std::vector<const Route*>& seeds, Route& out,
                const SearchControl& control) {
  if (rule.shape == RouteShape::Triangle) {
    TriangleProblem problem{g, rule};
    return searchRoute<3>(g, problem, seeds, out, control);
  }
  switch (rule.points) {
    case 2: return searchPath<2>(g, rule, seeds, out, control);
    case 3: return searchPath<3>(g, rule, seeds, out, control);
    case 4: return searchPath<4>(g, rule, seeds, out, control);
    case 5: return searchPath<5>(g, rule, seeds, out, control);
    case 6: return searchPath<6>(g, rule, seeds, out, control);
    case 7: return searchPath<7>(g, rule, seeds, out, control);
    case 8: return searchPath<8>(g, rule, seeds, out, control);
  }
  throw RunError::range();
}

// Scores one level of thinning. `routes` holds the coarser level's routes
// (as indices of this level) on entry and this level's on return. Once
// stopped, each type keeps the best of its starting routes.
bool scoreLevel(ScoreGeometry& g, const League& league, std::vector<Route>& routes, const ScoreControl& control,
                bool finest) {
  const int types = static_cast<int>(league.types.size());
  const std::vector<Route> coarser = routes;
  bool complete = true;
  for (int t = 0; t < types; ++t) {
    const FlightTypeRule& rule = league.types[t];
    // Start from the coarser route of this type and from the routes this
    // level found for the types before it with the same shape and size.
    std::vector<const Route*> seeds{&coarser[t]};
    for (int u = 0; u < t; ++u)
      if (league.types[u].shape == rule.shape && league.types[u].points == rule.points) seeds.push_back(&routes[u]);
    SearchControl search{control.stop, nullptr, finest ? 0 : kCoarseSplits, control.boxSplitsBeforeBlocks};
    if (finest && control.progress) search.progress = [&, t](double done) { control.progress((t + done) / types); };
    complete = searchType(g, rule, seeds, routes[t], search) && complete;
  }
  return complete;
}

bool validPosition(const ScoreFix& f) {
  return std::isfinite(f.lat) && std::isfinite(f.lon) && std::abs(f.lat) <= 90 && std::abs(f.lon) <= 360;
}

RoutePoint routePoint(const ScoreFix& f) { return {f.lat, f.lon, f.utc, f.index}; }

TypeScore typeScore(ScoreGeometry& g, const FlightTypeRule& rule, const Route& route) {
  TypeScore score;
  score.rule = &rule;
  if (route.metres <= 0) return score;
  score.distanceKm = route.metres / 1000;
  score.points = score.distanceKm * rule.multiplier;
  const std::vector<int>& f = route.fixes;
  if (rule.shape == RouteShape::Triangle) {
    const ClosingDistance::Pair gap = g.closing.closest(f[0], f[2]);
    for (int i : {gap.start, f[0], f[1], f[2], gap.finish}) score.route.push_back(routePoint(g.fixes[i]));
    score.closingKm = gap.metres / 1000;
    score.legsKm = {g.metres(f[0], f[1]) / 1000, g.metres(f[1], f[2]) / 1000, g.metres(f[2], f[0]) / 1000};
    return score;
  }
  int previous = -1;
  for (int i : f) {
    // A turnpoint on the fix before it adds nothing: the route has fewer turnpoints.
    if (i == previous) continue;
    if (previous >= 0) score.legsKm.push_back(g.metres(previous, i) / 1000);
    score.route.push_back(routePoint(g.fixes[i]));
    previous = i;
  }
  return score;
}

}  // namespace

FlightScore scoreFlight(const std::vector<ScoreFix>& fixes, const League& league, const ScoreControl& control) {
  std::vector<ScoreFix> valid;
  valid.reserve(fixes.size());
  for (const ScoreFix& f : fixes)
    if (validPosition(f)) valid.push_back(f);

  // The strides of the levels, coarsest first; the last is 1, the flight itself.
  std::vector<size_t> strides{1};
  while (valid.size() / strides.back() > size_t(kCoarsest)) strides.push_back(strides.back() * kThinning);
  std::reverse(strides.begin(), strides.end());

  FlightScore result;
  result.league = &league;
  std::vector<Route> routes(league.types.size());
  for (size_t level = 0; level < strides.size(); ++level) {
    const size_t stride = strides[level];
    if (level > 0) {
      const int factor = static_cast<int>(strides[level - 1] / stride);
      for (Route& r : routes)
        for (int& i : r.fixes) i *= factor;
    }
    std::vector<ScoreFix> levelFixes;
    if (stride == 1) {
      levelFixes = valid;
    } else {
      for (size_t i = 0; i < valid.size(); i += stride) levelFixes.push_back(valid[i]);
    }
    ScoreGeometry g(std::move(levelFixes), league.formula);
    result.complete = scoreLevel(g, league, routes, control, stride == 1) && result.complete;
    if (stride != 1) continue;
    for (size_t t = 0; t < league.types.size(); ++t) {
      result.types.push_back(typeScore(g, league.types[t], routes[t]));
      const TypeScore& score = result.types.back();
      if (score.found() && (result.best < 0 || score.points > result.types[result.best].points))
        result.best = static_cast<int>(t);
    }
  }
  return result;
}

FlightScore scoreStretches(const std::vector<std::vector<ScoreFix>>& stretches, const League& league,
                           const ScoreControl& control) {
  FlightScore result;
  result.league = &league;
  for (const FlightTypeRule& rule : league.types) {
    TypeScore none;
    none.rule = &rule;
    result.types.push_back(none);
  }
  double total = 0, done = 0;
  for (const std::vector<ScoreFix>& s : stretches) total += double(s.size());
  for (const std::vector<ScoreFix>& s : stretches) {
    ScoreControl part{control.stop, nullptr, control.boxSplitsBeforeBlocks};
    if (control.progress && total > 0)
      part.progress = [&](double f) { control.progress((done + f * double(s.size())) / total); };
    const FlightScore score = scoreFlight(s, league, part);
    done += double(s.size());
    result.complete = result.complete && score.complete;
    for (size_t t = 0; t < score.types.size(); ++t)
      if (score.types[t].points > result.types[t].points) result.types[t] = score.types[t];
    if (!score.complete) break;
  }
  for (size_t t = 0; t < result.types.size(); ++t)
    if (result.types[t].found() && (result.best < 0 || result.types[t].points > result.types[result.best].points))
      result.best = int(t);
  return result;
}

}  // namespace trelvano
