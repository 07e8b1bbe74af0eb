#pragma once
// Run-time errors. Every failed check in the program throws one of these; the
// command in progress stops there and the one guard of the window shows
// text() (plus detail() on a second line) in the standard error box.

#include <QString>
#include <exception>
#include <string>

namespace trelvano {

enum class RunErrorKind {
  Range,                 // "Fehler bei Bereichsprüfung"
  IntOverflow,           // "Integerüberlauf"
  InvalidInteger,        // "'%s' ist kein gültiger Integerwert"
  InvalidFloat,          // "'%s' ist kein gültiger Gleitkommawert"
  Io,                    // "E/A-Fehler %d"
  ReadPastEof,           // "Versuch hinter dem Dateiende zu lesen"
  InvalidFloatOp,        // "Ungültige Gleitkommaoperation"
  NoFlightData,          // "Keine Flugdaten in der Datei": a flight file without a single fix or sample
  FileNotFound,          // "Datei nicht gefunden": a file named on the command line, dropped or listed that is gone
  CannotOpen,            // "Datei kann nicht geöffnet werden": such a file is a folder, FIFO, device or unreadable
  FileTooLarge,          // "Datei zu groß (%d MB, höchstens %d MB)"
  InvalidGpx,            // "Ungültige GPX-Datei": not well-formed XML, or a point without a valid position
  Graphic,               // a picture that cannot be read: "Bitmap ist ungültig", or one too large
  NoFlight,              // "Kein Flug geladen": an export with no flight loaded
  OwnRecording,          // "Die geladene Aufzeichnung kann nicht überschrieben werden"
  InvalidTerrain,        // "Ungültige Geländedatei": not an elevation file GDAL reads, or of the wrong size
  InvalidMap,            // "Ungültige Kartendatei": not a raster map GDAL reads, an empty or vector MBTiles file
  MapWithoutCrs,         // "Karte ohne Koordinatensystem": no system in the file, no .prj, a world file in metres
  OutsideFlight,         // "Karte liegt nicht im Bereich des Fluges": a map away from the flight
  TerrainOutsideFlight,  // "Gelände liegt nicht im Bereich des Fluges": an elevation file away from the flight
  TooManyFlights,        // "Es können höchstens %d Flüge gleichzeitig geladen sein": one flight added too many
};

class RunError : public std::exception {
 public:
  RunError(RunErrorKind kind, QString text, QString detail = {});

  static RunError range();
  static RunError intOverflow();
  static RunError invalidInteger(const QString& field);
  static RunError invalidFloat(const QString& field);
  static RunError io(int code, const QString& detail = {});
  static RunError readPastEof();
  static RunError invalidFloatOp();
  static RunError noFlightData();
  static RunError invalidGpx();
  static RunError fileNotFound();
  static RunError cannotOpen();
  static RunError invalidTerrain();
  static RunError invalidMap();
  static RunError mapWithoutCrs();
  static RunError outsideFlight();
  static RunError terrainOutsideFlight();
  static RunError fileTooLarge(qint64 bytes, qint64 limit, const QString& detail);
  // A write that failed: "E/A-Fehler %d", the reason `err` (an errno value)
  // in words a user can act on, and "Datei <name>".
  static RunError ioWrite(int code, int err, const QString& path);
  static RunError noFlight();
  // The range error of a file with more fixes or points (more logger
  // samples) than the tables hold, with the limit as its reason.
  static RunError tooManyPoints(int limit);
  static RunError tooManySamples(int limit);
  static RunError tooManyFlights(int limit);
  static RunError ownRecording(const QString& path);

  RunErrorKind kind() const { return kind_; }
  // The run-time's own text, e.g. "Fehler bei Bereichsprüfung".
  const QString& text() const { return text_; }
  // Optional context such as file name and line number; empty when none.
  const QString& detail() const { return detail_; }
  // Optional reason a user can act on ("Kein Speicherplatz auf dem Gerät"); empty when none.
  const QString& cause() const { return cause_; }
  // What the error box shows: text, then cause and detail each on a line of its own.
  QString boxText() const;
  // A copy with the given context (keeps an existing detail in front).
  RunError withDetail(const QString& detail) const;
  // A copy with the given reason.
  RunError withCause(const QString& cause) const;

  const char* what() const noexcept override { return utf8_.c_str(); }

 private:
  RunErrorKind kind_;
  QString text_;
  QString detail_;
  QString cause_;
  std::string utf8_;
};

// The reason of a failed system call (an errno value) in German, for the
// second line of an error box; empty for reasons a user cannot act on.
QString systemErrorCause(int err);

// Index check of every fixed-size table: 0 <= i < size, else the range error.
inline int checkIndex(long long i, int size) {
  if (i < 0 || i >= size) throw RunError::range();
  return static_cast<int>(i);
}

}  // namespace trelvano
