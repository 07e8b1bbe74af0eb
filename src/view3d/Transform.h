#pragma once
// The view matrix and the projection of the point arrays.

#include "model/FlightData.h"
#include "view3d/Camera.h"
#include "view3d/Heights.h"
#include "view3d/Layers.h"
#include "view3d/Matrix4.h"

namespace trelvano {

// One point through the view matrix, for the transform and for the marks
// drawn over the picture. The columns it reads are held as members so that
// the loops over the points do not reload them after every store.
struct Projection {
  double m00, m10, m20, m30, m02, m12, m22, m32, m03, m13, m23, m33;
  explicit Projection(const Matrix4& view)
      : m00(view.m[0][0]),
        m10(view.m[1][0]),
        m20(view.m[2][0]),
        m30(view.m[3][0]),
        m02(view.m[0][2]),
        m12(view.m[1][2]),
        m22(view.m[2][2]),
        m32(view.m[3][2]),
        m03(view.m[0][3]),
        m13(view.m[1][3]),
        m23(view.m[2][3]),
        m33(view.m[3][3]) {}

  // Projects (x, y, z) into pt and returns w; at or behind the eye plane
  // there is no projection, and the stroke breaks there.
  double operator()(FlightPoint& pt, double x, double y, double z) const {
    // Same summation order as the row vector (x, y, z, 1) times the matrix.
    const double xs = x * m00 + y * m10 + z * m20 + m30;
    const double zs = x * m02 + y * m12 + z * m22 + m32;
    const double w = x * m03 + y * m13 + z * m23 + m33;
    if (w > 0) {
      pt.ProjY = zs / w;
      pt.ProjX = xs / w;
      if (pt.Pen == kPenLineBehind)
        pt.Pen = kPenLine;
      else if (pt.Pen == kPenMoveBehind)
        pt.Pen = kPenMove;
    } else {
      pt.Pen = (pt.Pen == kPenLine || pt.Pen == kPenLineBehind) ? kPenLineBehind : kPenMoveBehind;
      pt.ProjX = 0;
      pt.ProjY = 0;
    }
    return w;
  }
};

class RedrawWorker;

// Rz · Rx · T · P from the camera state.
Matrix4 buildViewMatrix(const Camera& cam);

// The eye in the local frame (Z as drawn): the point the picture's rays meet,
// (CamX, CamY − CamD, CamZ) before the camera's shift, turned back by its rotations.
struct EyePoint {
  double x, y, z;
};
EyePoint eyePoint(const Camera& cam);
// How the camera's shifts (CamX, CamY, CamZ) move the eye one metre straight up.
EyePoint shiftForUp(const Camera& cam);

// Projects entries 0 … last: ProjX/ProjY and the Pen transitions in front of
// and behind the eye. Does nothing for last < 0; a last index beyond the
// array raises the range error.
void TransformPoints(PointArray& points, int32_t last, const Matrix4& viewMatrix);
void TransformPoints(PointArray& points, int32_t last, const Matrix4& viewMatrix, const trelvano::HeightRule* rule,
                     trelvano::HeightKind kind);

// Where the transform leaves the depth (1 / w, 0 at or behind the eye) of
// entries first … last: entry i at invW[i - first].
struct DepthOut {
  float* invW = nullptr;
  int32_t first = 0, last = -1;
};

// Entries first … end (which must exist) as TransformPoints projects them;
// with a rule, at the heights it gives arrays of `kind`, and with `depth`
// the depths of the entries it asks for.
void TransformEntries(PointArray& points, int32_t first, int32_t end, const Matrix4& viewMatrix,
                      const trelvano::HeightRule* rule = nullptr,
                      trelvano::HeightKind kind = trelvano::HeightKind::AsStored, const DepthOut* depth = nullptr);

// The arrays DDDCalc transforms, in its order: each with its last index.
struct TransformedArray {
  PointArray* points;
  int32_t last;
  trelvano::HeightKind kind = trelvano::HeightKind::AsStored;
};
int transformedArrays(FlightData& data, const Layers& layers, TransformedArray (&out)[8]);

// Builds the view matrix into `viewMatrix` and transforms every point array
// whose layer is switched on, at the heights of heightRule(data, layers) (MapCells only while MapDragMode is false,
// MapFrame only while it is true). With a worker, each array's halves are
// transformed at the same time.
void DDDCalc(FlightData& data, const Camera& cam, const Layers& layers, Matrix4& viewMatrix,
             RedrawWorker* worker = nullptr);

// Rebuilds GridPoints (GridLast 901) and ArrowPoints (ArrowLast 7) for spacing a metres.
void GitterPfeil(FlightData& data, int32_t a);

}  // namespace trelvano
