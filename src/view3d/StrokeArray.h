#pragma once
// A point array that both bands of a redraw stroke: its screen positions are
// computed once, half of them by each core, before either band draws it.

#include "model/FlightPoint.h"
#include "view3d/DepthTarget.h"

#include <cstdint>
#include <exception>

namespace trelvano {

struct RenderPass;

// An entry as a band strokes it: its pixel, pen state and colour, packed so
// that both bands read 16 bytes per entry instead of its whole record.
struct ScreenPoint {
  int32_t x, y;
  int32_t pen;
  int32_t color;
};

// The rows a block of kStrokeBlock entries reaches: the least and greatest y
// of its entries. A band of the picture passes over a block its rows miss.
constexpr int32_t kStrokeBlock = 64;
struct RowSpan {
  int32_t top, bottom;
};

struct StrokeArray {
  const PointArray* points = nullptr;  // null: the layer is off
  int32_t first = 0, last = -1;        // the entries stroked
  // Thrown before any entry is drawn: the range of entries could not be
  // formed, or (clearsOutOfView) the index check refused it.
  std::exception_ptr startError;
  bool clearsOutOfView = false;
  ScreenPoint* screen = nullptr;  // entry i at screen[i - first]
  RowSpan* blockRows = nullptr;   // of the entries from first + kStrokeBlock · b on at blockRows[b]
  // Over the terrain surface: the depth of entry i at invW[i - first],
  // worked out by depthOf as the entries are projected.
  const trelvano::StrokeDepth* depthOf = nullptr;
  float* invW = nullptr;
  bool depthsGiven = false;  // the transform writes invW, so projecting need not

  // Entries first … last of `array`, checked as DrawPointArray checks them.
  void set(const PointArray& array, int32_t firstEntry, int32_t lastEntry);
  // How many screen positions it needs, and how many blocks they make.
  int64_t count() const { return points && !startError && first <= last ? int64_t(last) - first + 1 : 0; }
  int64_t blocks() const { return (count() + kStrokeBlock - 1) / kStrokeBlock; }
  // Screen positions of half `part` of `parts` of the entries: startHalf,
  // then projectEntries over the half's entries in order, in pieces if need be.
  void project(RenderPass& pass, int part, int parts);
  // The first entry of half `part` of `parts` (last + 1 for the end). The
  // halves meet at a block's start, so that one core writes each block's rows.
  int32_t halfBegin(int part, int parts) const {
    if (part >= parts) return static_cast<int32_t>(first + count());
    return static_cast<int32_t>(first + count() * part / parts / kStrokeBlock * kStrokeBlock);
  }
  void startHalf(int part, int parts);
  void projectEntries(RenderPass& pass, int part, int32_t from, int32_t to);
  // Strokes the entries into rows [rowTop, rowBottom) of the pass's canvas
  // and leaves OutOfView, or throws, as DrawPointArray would. With a depth
  // target, pixels hidden by the terrain surface are left out.
  void draw(RenderPass& pass, int rowTop, int rowBottom, const trelvano::DepthTarget* surface = nullptr) const;

 private:
  // Per half: its end, where ToScreen refused an entry (the end: none), the
  // error, and OutOfView over the entries before.
  int32_t end_[2] = {0, 0};
  int32_t stop_[2] = {0, 0};
  std::exception_ptr error_[2];
  bool outOfView_[2] = {false, false};
};

}  // namespace trelvano
