#pragma once
#include <QSize>
#include <array>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

extern const char* const kDumpUsage;

struct DumpOptions {
  QString parFile;
  QString saveParFile;  // --save-par: "Parameter" → "speichern" into this file after the loads
  std::optional<double> temperature;
  bool baro = false;
  std::optional<int> origin;
  std::optional<int> overlay;  // overlay mode 1 … 6 (0 = none)
  QString locale;
  QString renderPath;
  QSize size{650, 400};
  std::optional<std::array<double, 6>> camera;  // X, Y, Z, A, E, D
  std::optional<QStringList> layers;            // "Darstellung" captions switched on
  QStringList files;
  struct MapFile {
    bool vector;  // --vectormap, else --pixelmap
    QString path;
  };
  std::vector<MapFile> maps;  // loaded after the files, in the order given
  bool slowMap = false;       // --slow: pixel maps without "Karte schnell laden"
};

// False with a message on a usage error.
bool parseDumpOptions(const QStringList& args, DumpOptions& options, QString& error);
