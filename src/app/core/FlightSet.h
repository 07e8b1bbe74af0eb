#pragma once
// The flights loaded together: up to 20, one of them active. Each keeps its
// flight as read (shared, never changed), its analysis, its section and
// cursor, its colour and name, whether it is shown and its clock offset. The
// set holds one clock for all of them: the cursor is a time, and each flight
// is placed on it by the chosen sync ("Gleichzeitig" or "Gemeinsamer Start")
// and its offset (FlightClock.h).

#include "import/LocalFrame.h"
#include "model/Flight.h"
#include "model/FlightAnalysisData.h"

#include <QRgb>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace trelvano {

constexpr int kMaxLoadedFlights = 20;

enum class ClockSync : uint8_t {
  SameTime,     // "Gleichzeitig": the flights' own UTC clocks
  CommonStart,  // "Gemeinsamer Start": each from its own take-off
};

// The airborne figures of "Summen", per flight.
struct FlightSummary {
  double airborneSeconds = 0;
  int thermals = 0;
  double averageClimb = 0;   // m/s
  double circlingShare = 0;  // percent of the free flight
  double averageRatio = 0;   // 0 = no glide with a ratio
  double best30sClimb = 0;   // m/s
};
FlightSummary summaryOf(const FlightAnalysis& analysis);

struct LoadedFlight {
  std::shared_ptr<const Flight> flight;
  FlightAnalysis analysis;
  QString path;  // the file it was read from
  QString name;  // pilot and glider from the IGC header, else the file name
  QRgb colour = 0;
  bool visible = true;
  double offsetSeconds = 0;  // added to the flight's clock
  // The section and the cursor point, kept while another flight is active.
  int32_t rangeStart = 0, rangeEnd = 0, cursorPoint = 0;
};

// A loaded flight for `flight` read from `path`: its analysis, its name, the
// whole flight as section. The colour is given by the set.
LoadedFlight loadedFlight(std::shared_ptr<const Flight> flight, const QString& path);

// "Pilot – Segelflugzeug" from the IGC header (pilot, glider type and
// registration, as far as given), else the file name of `path`.
QString flightName(const Flight& flight, const QString& path);

// The fixed colours of the list and the view, in the order flights get
// them: strong hues apart from each other, from the sky and from the
// greens and browns of terrain and maps.
const std::vector<QRgb>& flightPalette();

class FlightSet {
 public:
  const std::vector<LoadedFlight>& flights() const { return flights_; }
  int count() const { return int(flights_.size()); }
  bool empty() const { return flights_.empty(); }
  // -1 while no flight is loaded.
  int activeIndex() const { return active_; }
  const LoadedFlight* active() const { return active_ < 0 ? nullptr : &flights_[size_t(active_)]; }
  const LoadedFlight& at(int index) const;  // throws the range error outside 0 … count-1

  // Opening a flight: the set becomes `flight` alone, active, with the first
  // palette colour, the scene frame at its first fix; the offsets and the
  // chosen sync go with the old flights.
  void replaceAll(LoadedFlight flight);
  // Adds `flight` after the others with the first palette colour no other
  // flight has; the active flight stays. With 20 flights loaded it throws
  // "Höchstens 20 Flüge können gleichzeitig geladen sein" and changes nothing.
  void add(LoadedFlight flight);
  // Removes a flight; where it was the active one, the flight before it (or
  // the new first) becomes active. Returns whether the active flight changed.
  bool remove(int index);
  void setActive(int index);
  void setVisible(int index, bool visible);
  void setOffset(int index, double seconds);
  // The active flight's section and cursor, kept when it stops being active.
  void keepSection(int32_t rangeStart, int32_t rangeEnd, int32_t cursorPoint);
  // A flight with new altitudes (a logger flight after its altitude source
  // changed), its analysis with it.
  void replaceFlight(int index, std::shared_ptr<const Flight> flight, FlightAnalysis analysis);

  // The sync chosen by the user, else the default: "Gleichzeitig" where every
  // flight has clock times, else "Gemeinsamer Start".
  ClockSync sync() const;
  void setSync(std::optional<ClockSync> sync) { chosenSync_ = sync; }

  // The cursor: a time on the clock (FlightClock.h), seconds.
  double cursorTime = 0;
  // The frame the scene is drawn in (frameX, frameY, altitude − origin):
  // the first fix of the flight opened, moved by the origin commands; adding
  // flights or choosing another active one leaves it, so the camera stays.
  FrameOrigin sceneOrigin{0, 0, 0};

 private:
  void check(int index) const;
  std::vector<LoadedFlight> flights_;
  int active_ = -1;
  std::optional<ClockSync> chosenSync_;
};

}  // namespace trelvano
