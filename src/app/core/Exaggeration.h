#pragma once
// "Darstellung → Überhöhung": the factors the heights of the 3D view are
// drawn with.

#include "view3d/View3D.h"

namespace trelvano {

struct ExaggerationItem {
  double factor;
  const char* objectName;
  const char* caption;
};
// The factors of "Darstellung → Überhöhung", in menu order.
inline constexpr ExaggerationItem kExaggerationItems[] = {
    {1, "Ueberhoehung1fach", "1×"},
    {2, "Ueberhoehung2fach", "2×"},
    {3, "Ueberhoehung3fach", "3×"},
    {5, "Ueberhoehung5fach", "5×"},
};

// Draws the heights of the flight and the terrain `factor` times as high and
// redraws. The camera rises where the raised ground would reach its eye, and
// steps back where the flight was in the picture and no longer would be. A
// factor that is not one of the menu's is refused as out of range.
void setExaggeration(View3D& view, double factor);

}  // namespace trelvano
