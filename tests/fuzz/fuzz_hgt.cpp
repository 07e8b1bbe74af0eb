// "Gelände laden…" on an SRTM tile under the flight: with the first byte's
// lowest bit set the rest is repeated to a whole 3″ tile (1201 × 1201 heights,
// so the heights themselves are fuzzed), else it is the file as it is.
#include "GroundHarness.h"

using namespace trelvano;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  if (size == 0) return 0;
  GroundWorld& w = groundWorld();
  const QByteArrayView rest(reinterpret_cast<const char*>(bytes + 1), qsizetype(size - 1));
  QByteArray file;
  if ((bytes[0] & 1) && !rest.isEmpty()) {
    file.resize(1201 * 1201 * 2);
    // The pattern once, then the part filled so far doubled: few steps however short it is.
    qsizetype filled = std::min(rest.size(), file.size());
    std::memcpy(file.data(), rest.data(), size_t(filled));
    for (; filled < file.size(); filled *= 2)
      std::memcpy(file.data() + filled, file.data(), size_t(std::min(filled, file.size() - filled)));
  } else {
    file = rest.toByteArray();
  }
  const QString path = w.write(QStringLiteral("N48E011.hgt"), file);
  expectGroundLoadedOrUnchanged(QByteArrayView(reinterpret_cast<const char*>(bytes), qsizetype(size)),
                                [&](MainController& c) { c.openTerrainFiles({path}); });
  return 0;
}
