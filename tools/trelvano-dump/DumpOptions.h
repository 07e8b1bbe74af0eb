#pragma once
#include <QSize>
#include <array>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace trelvano {

extern const char* const kDumpUsage;

struct DumpOptions {
  QString parFile;
  QString saveParFile;  // --save-par: "Parameter" → "speichern" into this file after the loads
  // --export-kml, --export-gpx, --export-csv: "Datei" → "Exportieren" into these files after the loads.
  QString exportKml, exportGpx, exportCsv;
  std::optional<double> temperature;
  bool baro = false;
  std::optional<int> origin;
  std::optional<int> overlay;  // overlay mode 1 … 7 (0 = none)
  QString locale;
  QString renderPath;
  QSize size{650, 400};
  std::optional<std::array<double, 6>> camera;  // X, Y, Z, A, E, D
  std::optional<QStringList> layers;            // "Darstellung" captions switched on
  std::optional<double> exaggeration;           // "Darstellung → Überhöhung": 1, 2, 3 or 5
  QStringList files;
  // Several flights: --add files after `files`, --sync uhrzeit|start, --offset
  // N,SECONDS (the N-th flight, 0 = the first), --active N, --time (UTC as
  // YYYY-MM-DDTHH:MM:SSZ, or seconds on the clock) for the key "flights".
  QStringList addFiles;
  std::optional<int> sync;  // 0 "uhrzeit", 1 "start"
  std::vector<std::pair<int, double>> offsets;
  std::optional<int> active;
  std::optional<double> time;
  struct MapFile {
    bool vector;  // --vectormap, else --pixelmap
    QString path;
  };
  std::vector<MapFile> maps;  // loaded after the files, in the order given
  bool slowMap = false;       // --slow: pixel maps without "Karte schnell laden"
  QStringList dems;           // --dem: elevation files or folders of tiles, in the order given
  QString geoMap;             // --map: a georeferenced map
  bool analysis = false;      // --analysis: the key "analysis" (phases, thermals, wind, …)

  // --score: the league of the key "score" ("xcontest", "ffvl", "fai", "olc").
  QString score;
  // Where each of `files` stands in the arguments.
  std::vector<int> fileArguments;

  // --chart: a chart window drawn into FILE.png after the loads.
  QString chartPath;
  QSize chartSize{778, 305};
  bool gpsCurves[5] = {};       // "Höhe", "Groundspeed", "3D-Speed", "Air-Speed", "Höhe über Grund"
  bool channelCurves[13] = {};  // channels 0 … 12
  int scale = 0;                // 0 "einheitlich", 1 "individuell"
  int windDirection = 20;       // bar positions
  int windSpeed = 20;
  bool windEstimated = false;               // --wind geschätzt: the wind estimated from the circles
  std::optional<std::array<int, 2>> range;  // RangeStart, RangeEnd before the redraw
  bool zoom = false;
};

// False with a message on a usage error.
bool parseDumpOptions(const QStringList& args, DumpOptions& options, QString& error);

}  // namespace trelvano
