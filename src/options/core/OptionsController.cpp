#include "options/core/OptionsController.h"

#include "import/FlightFrame.h"
#include "import/TerrainLoader.h"
#include "overlay/Infobox.h"

namespace trelvano {

OptionsController::OptionsController(OptionsTargets targets) : t_(targets) {}

void OptionsController::open() {
  // Setting a box runs its handler when the state changes, as a click would.
  if (CheckBoxGrafik != t_.data.FastMapLoading) {
    CheckBoxGrafik = t_.data.FastMapLoading;
    fastMapLoadingTicked(CheckBoxGrafik);
  }
  if (CheckBoxStarr != t_.data.HideMapWhileDragging) {
    CheckBoxStarr = t_.data.HideMapWhileDragging;
    hideMapWhileDraggingTicked(CheckBoxStarr);
  }
  if (CheckBoxBaro != t_.data.UseBaroAltitude) baroAltitudeTicked(t_.data.UseBaroAltitude);
  CheckBoxBaroVisible = t_.data.LoggerNG;
}

void OptionsController::fastMapLoadingTicked(bool ticked) {
  CheckBoxGrafik = ticked;
  t_.data.FastMapLoading = ticked;
}

void OptionsController::hideMapWhileDraggingTicked(bool ticked) {
  CheckBoxStarr = ticked;
  t_.data.HideMapWhileDragging = ticked;
}

void OptionsController::baroAltitudeTicked(bool ticked) {
  const bool before = t_.data.UseBaroAltitude;
  CheckBoxBaro = ticked;
  t_.data.UseBaroAltitude = ticked;
  std::optional<QString> label;
  try {
    label = Altitude(t_.data);  // changes nothing when it fails
  } catch (...) {
    t_.data.UseBaroAltitude = before;
    CheckBoxBaro = before;
    throw;
  }
  trelvano::refreshHeightsAboveGround(t_.data);
  if (label) t_.hLabel = *label;
  if (CheckBoxBaro != t_.data.UseBaroAltitude) baroAltitudeTicked(t_.data.UseBaroAltitude);
  MaxMinusw(t_.data);
  t_.view.Grafikupdate();
  Infobox(t_.data, t_.panels);
}

}  // namespace trelvano
