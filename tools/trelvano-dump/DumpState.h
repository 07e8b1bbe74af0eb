#pragma once
#include "DumpOptions.h"
#include "Json.h"

#include "analysis/score/FlightScore.h"
#include "chart/core/ChartView.h"

#include "app/core/MainController.h"

#include <vector>

namespace trelvano {

struct FileOutcome {
  QString path;
  QString status;  // "ok", "error" or "unopened"
  QString error;   // the error box text
};

// Before the files: --size, --layers, --par, --temperature, --baro, --slow.
// The parameter file's outcome joins `outcomes`; a failed one changes nothing.
void applyStartOptions(MainController& program, const DumpOptions& options, std::vector<FileOutcome>& outcomes);
// Loads one file with the reader the menu would use (".igc" in any case → IGC,
// ".gpx" → GPX, anything else → logger file).
FileOutcome loadForDump(MainController& program, const QString& path);
// One --add file, added to the loaded flights.
FileOutcome addForDump(MainController& program, const QString& path);
// One --pixelmap or --vectormap file, as the menu's map commands load it.
FileOutcome loadMapForDump(MainController& program, const DumpOptions::MapFile& map);
// Before the flights: the first folder of --dem, as the setting "Geländeordner".
void applyTerrainFolder(MainController& program, const DumpOptions& options);
// After the flights: the --dem files (and the tiles of further folders), then --map.
void loadGroundForDump(MainController& program, const DumpOptions& options, std::vector<FileOutcome>& outcomes);
// After the loads: "Parameter" → "speichern", its dialog answered with `path`.
FileOutcome saveParForDump(MainController& program, const QString& path);
// After the loads: --export-kml, --export-gpx, --export-csv, each an outcome.
void exportsForDump(MainController& program, const DumpOptions& options, std::vector<FileOutcome>& outcomes);
// --render or --chart: `picture` written to `path` in the format of its suffix (PNG otherwise).
FileOutcome savePictureForDump(const QImage& picture, const QString& path);
// After the files and maps: --layers again (a map load switches its layer
// on), --origin, --overlay, --camera, and the final redraw.
void applyFinalOptions(MainController& program, const DumpOptions& options);

// `chart`: the --chart window, written as the key "chart" (none when null);
// `score`: the flight's --score.
void writeDump(JsonWriter& json, MainController& program, const DumpOptions& options,
               const std::vector<FileOutcome>& outcomes, const ChartView* chart = nullptr,
               const std::optional<FlightScore>& score = std::nullopt);

}  // namespace trelvano
