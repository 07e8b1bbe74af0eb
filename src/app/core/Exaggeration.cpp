#include "app/core/Exaggeration.h"

#include "model/RunError.h"

namespace trelvano {

void setExaggeration(View3D& view, double factor) {
  bool known = false;
  for (const ExaggerationItem& item : kExaggerationItems) known = known || item.factor == factor;
  if (!known) throw RunError::range();
  if (view.data.Exaggeration == factor) return;
  view.data.Exaggeration = factor;
  view.Grafikupdate();
}

}  // namespace trelvano
