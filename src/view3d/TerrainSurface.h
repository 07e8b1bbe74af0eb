#pragma once
// The terrain under the flight as a shaded surface in height tints (or the
// colours of a draped map), drawn into the 3D view's picture by a quad
// rasteriser of its own: cells from far to near as seen from the eye, one
// flat-shaded colour each, at levels of detail that keep the cells a few
// pixels wide: the whole grid at a coarse level, ever finer ones in nested
// squares around the eye. A coarse cell's colour is the mean of the finest
// cells it covers. Kept between redraws: the levels are worked out again
// only when the grids, the start altitude or the exaggeration change.

#include "model/FlightData.h"
#include "view3d/Camera.h"
#include "view3d/DepthTarget.h"
#include "view3d/Layers.h"
#include "view3d/Matrix4.h"
#include "view3d/RenderPass.h"
#include "view3d/StrokeArray.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace trelvano {

// The height tint of a point `fraction` of the way from the lowest (0) to the
// highest (1) height of the grid, $00BBGGRR.
int32_t heightTint(double fraction);

class TerrainSurface {
 public:
  TerrainSurface();
  ~TerrainSurface();
  TerrainSurface(const TerrainSurface&) = delete;
  TerrainSurface& operator=(const TerrainSurface&) = delete;

  // Readies the surface of `data` for a redraw of `width` × `height` pixels
  // through `view` (the matrix of `cam`): picks the level of detail and the
  // order of the cells. Draws nothing when no surface is shown.
  void prepare(const FlightData& data, const Layers& layers, const Camera& cam, const Matrix4& view, int width,
               int height);
  bool shown() const { return !rings_.empty(); }

  // The screen positions of the nodes, part `part` of `parts` of the rows;
  // both parts before draw().
  void project(int part, int parts);
  // Clears the depth of the target's rows and draws the surface into them.
  void draw(const DepthTarget& target) const;

  // The depth buffer of the picture (width × height), written by draw().
  uint16_t* depth() { return depth_.data(); }
  // Room for the depths of the stroked entries drawn over the surface.
  std::vector<float>& strokeDepths() { return strokeDepths_; }
  // Grid nodes per cell side of the last prepare (1 = every node) far from
  // the eye, and nearest to it.
  int stride() const;
  int nearStride() const;

 private:
  struct Level;
  struct Key;
  // Grid nodes c0 … c1 × r0 … r1.
  struct Square {
    int c0 = 0, c1 = 0, r0 = 0, r1 = 0;
  };
  // One level drawn within a square of the grid (the first: the whole grid)
  // but for the next ring's square.
  struct Ring {
    Level* level = nullptr;
    Square square;
  };
  Level& level(int stride);
  void chooseLevels(int width, int height);
  void projectNodes(Level& l, int rowFrom, int rowTo, int columnFrom, int columnTo);
  // The cells of `l` (only those within `within`, none inside `skip`) far to near.
  void drawCells(const Level& l, const DepthTarget& target, const Square* within, const Square* skip) const;

  std::unique_ptr<Key> key_;
  std::vector<std::unique_ptr<Level>> levels_;  // by log2 of the stride, built on demand
  std::vector<Ring> rings_;                     // of this redraw, coarse to fine; none: nothing to draw
  const FlightData* data_ = nullptr;
  Matrix4 view_{};
  int width_ = 0, height_ = 0;
  double eyeColumn_ = 0, eyeRow_ = 0;  // the eye over the grid, in node indexes
  std::vector<uint16_t> depth_;
  std::vector<float> strokeDepths_;
};

// The strokes of `count` entries (as RenderPass::DrawScreenPoints draws them)
// into the target's rows, but not where they lie behind the surface drawn
// there (by more than a small share of their distance from the eye).
// plumbLines: each segment rises from a point on the ground to its end.
void drawDepthStrokes(RenderPass& pass, const DepthTarget& target, const ScreenPoint* entries, const float* invW,
                      int32_t count, bool plumbLines);

}  // namespace trelvano
