// "Gelände laden…" on a one-band GeoTIFF of heights.
#include "GroundHarness.h"

using namespace trelvano;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  GroundWorld& w = groundWorld();
  const QString path =
      w.write(QStringLiteral("hoehe.tif"), QByteArrayView(reinterpret_cast<const char*>(bytes), qsizetype(size)));
  expectGroundLoadedOrUnchanged(QByteArrayView(reinterpret_cast<const char*>(bytes), qsizetype(size)),
                                [&](MainController& c) { c.openTerrainFiles({path}); });
  return 0;
}
