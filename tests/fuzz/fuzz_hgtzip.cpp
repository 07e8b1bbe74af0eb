// "Gelände laden…" on a zipped SRTM tile: the archive's members, names and
// compressed heights.
#include "GroundHarness.h"

using namespace trelvano;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  GroundWorld& w = groundWorld();
  const QString path =
      w.write(QStringLiteral("N48E011.hgt.zip"), QByteArrayView(reinterpret_cast<const char*>(bytes), qsizetype(size)));
  expectGroundLoadedOrUnchanged(QByteArrayView(reinterpret_cast<const char*>(bytes), qsizetype(size)),
                                [&](MainController& c) { c.openTerrainFiles({path}); });
  return 0;
}
