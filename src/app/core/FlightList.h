#pragma once
// The flight list "Flüge" beside the 3D view, without widgets: per loaded
// flight its colour, name, date and UTC start, whether it is shown, its
// offset, and how it compares with the active flight at the cursor's time;
// the per-flight columns of "Summen"; and the list's click.

#include "app/core/FlightSet.h"
#include "overlay/PhasesTable.h"

#include <QRgb>
#include <QString>
#include <QStringList>
#include <vector>

namespace trelvano {

class MainController;

// The list's columns, left to right.
enum FlightListColumn {
  kListShown,  // check box and colour swatch
  kListName,
  kListDate,
  kListStart,
  kListOffset,  // editable, seconds
  kListHeight,
  kListVario,
  kListSpeed,
  kListDistance,
  kListHeightDifference,
  kListColumns
};
QStringList flightListHeaders();

struct FlightListRow {
  QRgb colour = 0;
  bool visible = true;
  bool active = false;
  QStringList texts;  // one per column; the first is empty
};
std::vector<FlightListRow> flightListRows(const FlightSet& flights);

// An offset typed into the list: whole or decimal seconds, either separator,
// an optional sign. nullopt for anything else.
std::optional<double> parseOffset(const QString& text);

// "Summen" per flight: a column per loaded flight (its name), a row per
// figure: time in the air, thermals, average climb, circling share, average
// glide ratio, best 30 s climb.
TableText flightTotalsTable(const FlightSet& flights);

// Files named on the command line or dropped together: for each, whether it
// is added to the loaded flights (a flight file after the first flight file)
// rather than opened by its name.
std::vector<bool> addedAsFlights(const QStringList& paths);

// A flight file named on the command line or dropped after the first one:
// added to the loaded flights, with the messages opening it by name gives
// ("Datei nicht gefunden", "Datei kann nicht geöffnet werden", the reader's).
void addFlightByName(MainController& controller, const QString& path);

// A click in the list: that flight becomes the active one, the camera keeps
// showing the same place although the view's frame moves to the new flight's
// origin, and the clock stays: the new flight's cursor goes to the fix at the
// clock's time where the flight is under way then.
void chooseActiveFlight(MainController& controller, int index);

}  // namespace trelvano
