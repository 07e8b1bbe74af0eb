#pragma once
// The view matrix and the projection of the point arrays.

#include "model/FlightData.h"
#include "view3d/Camera.h"
#include "view3d/Heights.h"
#include "view3d/Layers.h"
#include "view3d/Matrix4.h"

namespace trelvano {

class RedrawWorker;

// Rz · Rx · T · P from the camera state.
Matrix4 buildViewMatrix(const Camera& cam);

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
