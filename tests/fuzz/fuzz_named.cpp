// A file named on the command line or dropped (openByName): its first byte
// chooses the name's suffix, the rest is the file. Whatever its bytes and
// name, it goes to a command that loads it or fails with our message and
// leaves the flight, the parameters, the terrain and the maps as they were.
#include "GroundHarness.h"

using namespace trelvano;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  if (size == 0) return 0;
  static const char* const names[] = {"datei.igc", "datei.gpx",   "datei.csv",       "datei.par",
                                      "datei.map", "datei.bmp",   "datei.png",       "datei.tif",
                                      "datei.txt", "N48E011.hgt", "N48E011.hgt.zip", "datei.mbtiles"};
  GroundWorld& w = groundWorld();
  const QByteArrayView file(reinterpret_cast<const char*>(bytes + 1), qsizetype(size - 1));
  const QString path = w.write(QLatin1String(names[bytes[0] % std::size(names)]), file);
  expectGroundLoadedOrUnchanged(
      file, [&](MainController& c) { c.openByName(path); }, true);
  return 0;
}
