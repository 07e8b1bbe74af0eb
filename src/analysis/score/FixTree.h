#pragma once
// The fixes of a flight in a binary tree of index ranges, each node with the
// box around its fixes' points in space and its range of altitudes: the
// solver's bounds for whole ranges of fixes at once. Node 1 holds every fix,
// node v has the children 2v and 2v+1, the leaves are single fixes.

#include "analysis/score/EarthDistance.h"

#include <vector>

namespace trelvano {

class FixTree {
 public:
  // `points` and `altitudes` (metres; NaN = unknown) of the fixes in time order.
  FixTree(std::vector<SpacePoint> points, const std::vector<double>& altitudes);

  int size() const { return size_; }
  static constexpr int root() { return 1; }
  // The node of the single fix `i`.
  int leaf(int i) const { return leaves_ + i; }
  bool isLeaf(int v) const { return v >= leaves_; }
  // Whether node v holds any fix (the last nodes of a flight that is no
  // power of two in length hold none).
  bool exists(int v) const { return v < 2 * leaves_ && node_[v].first < size_; }
  // The first and last fix of node v.
  int first(int v) const { return node_[v].first; }
  int last(int v) const { return node_[v].last; }
  int count(int v) const { return node_[v].last - node_[v].first + 1; }
  // The diagonal of node v's box, metres: how far apart two of its fixes can be.
  double extent(int v) const { return node_[v].extent; }
  // The lowest and highest known altitude in node v (+inf and -inf when none is known).
  double minAltitude(int v) const { return node_[v].minAlt; }
  double maxAltitude(int v) const { return node_[v].maxAlt; }
  const SpacePoint& point(int i) const { return points_[i]; }

  // The longest and shortest straight line between a fix of node u and one of node v, metres.
  double maxChord(int u, int v) const;
  double minChord(int u, int v) const;

  // A second, closer box around node v's fixes, turned to lie along their
  // spread over the ground (a straight glide's box is long and narrow), as
  // the distinct corners (1, 2 or 4) of its middle layer, returning their
  // number, and `thickness`: how far, up or down, a fix may lie from that
  // layer (metres; the earth's curve under the node).
  int corners(int v, SpacePoint out[4], double& thickness) const;

  // The nodes that together hold exactly the fixes first … last, in time order.
  void cover(int first, int last, std::vector<int>& nodes) const;

 private:
  // The turned box: its centre and three half-axes, each the direction
  // times half the box's size along it.
  struct TurnedBox {
    SpacePoint centre;
    SpacePoint half[3];
  };
  void turnBox(int v);

  struct Node {
    double lo[3], hi[3];
    double extent;
    double minAlt, maxAlt;
    int first, last;
  };
  int size_;
  int leaves_;  // a power of two, at least size_
  std::vector<SpacePoint> points_;
  std::vector<Node> node_;
  std::vector<TurnedBox> turned_;
};

}  // namespace trelvano
