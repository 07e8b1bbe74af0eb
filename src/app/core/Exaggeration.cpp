#include "app/core/Exaggeration.h"

#include "model/RunError.h"
#include "view3d/GroundClearance.h"

namespace trelvano {

void setExaggeration(View3D& view, double factor) {
  bool known = false;
  for (const ExaggerationItem& item : kExaggerationItems) known = known || item.factor == factor;
  if (!known) throw RunError::range();
  if (view.data.Exaggeration == factor) return;
  const int width = view.BackBuffer.width(), height = view.BackBuffer.height();
  const bool flightWasInView = flightInPicture(view.data, view.cam, width, height);
  view.data.Exaggeration = factor;
  // The ground rises with the factor: the eye stays above it, and a flight in view stays in view.
  view.cam = cameraAboveGround(view.data, view.layers, view.cam, width, height, flightWasInView);
  view.Grafikupdate();
}

}  // namespace trelvano
