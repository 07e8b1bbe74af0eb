#pragma once
// Shared by the terrain and map fuzz targets: the window's commands on a
// program that shows the example flight with a terrain and a map, and the
// check that a command either succeeds or fails with one of our messages
// and leaves the flight, the terrain and the map exactly as they were.
//
// The commands take paths, check them as files and list folders, so each
// input is written as files into a folder of its own (on a memory file
// system where there is one: /dev/shm), removed after the input. A folder of
// its own: GDAL keeps what it read of a zip archive by its path, size and
// time, so a zip of the same size written to the same path within the same
// second would be read with the directory of the one before.

#include "app/core/MainController.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

namespace trelvano {

struct GroundWorld {
  CancelAllDialogs dialogs;
  std::unique_ptr<MainController> core;
  QString scratch;  // where the inputs' folders go
  QString good;     // a whole 3″ tile N48E011.hgt under the example flight, outside the scratch folder
  QString goodZip;  // the same zipped (a seed of the zip target)

  GroundWorld();
  // The starting program: the example flight, the elevation GeoTIFF and the
  // map GeoTIFF of the seeds under it, a small picture.
  void reset();
  // The folder of the current input (made on the first write).
  QString folder() const;
  // Writes `bytes` as <folder>/<name>; returns the path.
  QString write(const QString& name, QByteArrayView bytes) const;
  // Removes the current input's folder; the next input gets a new one.
  void clear();

 private:
  long long input_ = 0;
};

GroundWorld& groundWorld();

// Runs `command` on the program. A RunError must carry a message that is
// not GDAL's own and leave every value of the flight, the terrain, the map
// and the files behind them as it was; anything else that escapes is a
// crash. The input's folder is removed afterwards. A command that succeeded
// leaves its result as the next input's starting state: each target writes
// its files under the same names, and a command replaces the file of the
// same name (or the map, or the folder) that an earlier input loaded, so the
// program needs no costly new start between inputs (only when a success
// left no terrain or no map, or with `freshAfterSuccess`: a flight loaded
// later would look for the files of the input before, which are gone).
// `input` bounds how far into the flight's tables a failed load may have
// written (StateSnapshot::reachOf).
void expectGroundLoadedOrUnchanged(QByteArrayView input, const std::function<void(MainController&)>& command,
                                   bool freshAfterSuccess = false);

}  // namespace trelvano
