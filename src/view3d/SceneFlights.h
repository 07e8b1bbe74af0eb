#pragma once
// The flights the 3D view draws beside the active one (which it reads from
// the flight tables), and every shown flight's marker at the cursor's time.
// Filled afresh before each redraw; clear() keeps the vectors' room.

#include "model/Flight.h"

#include <QString>

#include <memory>
#include <vector>

namespace trelvano {

// A shown flight other than the active one, drawn with its shadow in its colour.
struct SceneTrack {
  std::shared_ptr<const Flight> flight;
  int32_t colour = 0;  // $00BBGGRR
};

// Where a shown flight is at the cursor's time.
struct SceneMarker {
  double lat = 0, lon = 0, altitude = 0;  // altitude as the flight shows it
  int32_t colour = 0;                     // $00BBGGRR
  bool waiting = false;                   // before its start or after its end: drawn dimmed
  QString name;                           // its label; empty for the active flight
};

struct SceneFlights {
  std::vector<SceneTrack> tracks;
  std::vector<SceneMarker> markers;

  bool empty() const { return tracks.empty() && markers.empty(); }
  void clear() {
    tracks.clear();
    markers.clear();
  }
};

}  // namespace trelvano
