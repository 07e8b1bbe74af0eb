#pragma once
// The options dialog without widgets: the ticked states of its three boxes
// and what each click does. The switches are the flight-wide flags; the
// barometric one recomputes the altitudes and everything drawn from them.

#include "model/FlightData.h"
#include "overlay/SidePanels.h"
#include "view3d/View3D.h"

#include <QString>

namespace trelvano {

// What the dialog works on, lent by the main window.
struct OptionsTargets {
  FlightData& data;
  View3D& view;        // redrawn after the altitudes change
  SidePanels& panels;  // the statistics
  QString& hLabel;     // the main window's altitude label
};

class OptionsController {
 public:
  explicit OptionsController(OptionsTargets targets);

  // Ticked as in the window definition until open.
  bool CheckBoxGrafik = true;  // "Karte schnell laden"
  bool CheckBoxStarr = true;   // "Karte beim Bewegen ausblenden"
  bool CheckBoxBaro = false;   // "verwende barometrische Höhe"
  bool CheckBoxBaroVisible = true;

  // Ticks the boxes as the flags stand. A box whose state changes runs its
  // click handler, so with the barometric flag on the altitudes are
  // recomputed once while the dialog opens. The barometric box is shown only
  // for a new-format logger flight.
  void open();

  void fastMapLoadingTicked(bool ticked);
  void hideMapWhileDraggingTicked(bool ticked);
  // Sets the flag and recomputes: Altitude, MaxMinusw, Grafikupdate, Infobox.
  // Without a "Höhe" channel the box unticks itself (and runs once more). When
  // the altitudes cannot be computed, the flag, the box and the flight stay as
  // they were before the click and the error is thrown on.
  void baroAltitudeTicked(bool ticked);

 private:
  OptionsTargets t_;
};

}  // namespace trelvano
