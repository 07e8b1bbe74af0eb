#pragma once
// The other shown flights in the 3D view: their points in the active flight's
// frame, projected for each redraw, drawn as strokes with their shadows, and
// every shown flight's marker with its label. The arrays are the view's, sized
// to the flights and reused from one redraw to the next.

#include "import/LocalFrame.h"
#include "view3d/Heights.h"
#include "view3d/Matrix4.h"
#include "view3d/SceneFlights.h"

#include <QPoint>

#include <vector>

namespace trelvano {

class Canvas;
class LabelBoard;
struct RenderPass;

class OtherFlights {
 public:
  // Each track's points (and shadows) through `view` onto the picture of
  // `pass`, in the frame of `origin` with the heights of `rule`. The local
  // coordinates are kept while flight, origin and exaggeration stay the same.
  void project(const SceneFlights& scene, const FrameOrigin& origin, const HeightRule& rule, const Matrix4& view,
               RenderPass& pass);

  // Shadows first, then each flight in its colour; writes only the rows
  // [top, bottom) of the pass's canvas.
  void drawTracks(RenderPass& pass, int top, int bottom) const;

  // The markers over the picture, reserved on the board; then the names beside them.
  void drawMarkers(Canvas& canvas, LabelBoard& labels) const;

  // Points projected in the last redraw (tracks and shadows), for the budget's tests.
  size_t projectedPoints() const { return projected_; }

 private:
  struct Local {
    double x, y, z, groundZ;
  };
  struct Track {
    const Flight* flight = nullptr;
    FrameOrigin origin{};
    double scale = 0;
    bool terrain = false;
    std::vector<Local> points;
  };
  struct Projected {
    int x, y;    // pixels
    bool shown;  // in front of the eye
  };
  struct Span {
    size_t first, count;
    int32_t colour;
  };
  std::vector<Track> tracks_;
  std::vector<Projected> screen_;  // every track's points, then every track's shadow
  std::vector<Span> spans_;
  const SceneFlights* scene_ = nullptr;
  size_t projected_ = 0;
  Matrix4 view_ = Matrix4::identity();
  FrameOrigin origin_{};
  HeightRule rule_;
};

}  // namespace trelvano
