#pragma once
// The flight phases window without widgets: the texts of its tables
// (thermals, glides, totals, wind, declared task, launch, engine and events),
// the CSV bytes of a table, and the flight section a click on a row selects.
// Times are shown as elapsed since the first fix and, where the flight has
// a clock, as UTC beside them.

#include "model/FlightData.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace trelvano {

enum class PhasesTable { Thermals, Glides, Totals, Wind, Task, Events };
inline constexpr int kPhasesTableCount = 6;

struct TableText {
  QString title;  // the tab's caption
  QStringList headers;
  std::vector<QStringList> rows;
};

TableText phasesTable(const FlightData& data, PhasesTable table);

// The tables' numbers: `decimals` places with the locale's decimal separator,
// "–" for none; and seconds as h:mm:ss.
QString tableNumber(double v, int decimals);
QString elapsedText(double seconds);

// Semicolons, CR LF, UTF-8 with a byte-order mark; fields with a semicolon,
// quote or line break quoted. Numbers carry the locale's decimal separator.
QByteArray tableCsv(const TableText& table);

// The points a click on `row` of `table` selects: a thermal's, glide's,
// wind turn's, launch's or engine run's points, an event's, take-off's or
// landing's point; nothing (from -1) for other rows.
struct RowSection {
  int32_t from = -1, to = -1;
};
RowSection rowSection(const FlightData& data, PhasesTable table, int row);

// Makes a row's section the shown flight section (RangeStart, RangeEnd) of
// the 3D view and the charts; the caller then moves the replay cursor to its
// first point. Returns false when the row has none.
bool selectRowSection(FlightData& data, PhasesTable table, int row);

}  // namespace trelvano
