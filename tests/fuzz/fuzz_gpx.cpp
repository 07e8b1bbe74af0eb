// GPX reader: any bytes load or change nothing.
#include "FuzzHarness.h"
#include "import/GpxReader.h"
#include "import/ShowFlight.h"

using namespace trelvano;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  FuzzWorld& w = fuzzWorld();
  expectLoadedOrUnchanged(bytes, size,
                          [&](QByteArrayView in) { showFlight(w.data, readGpx(in, QStringLiteral("f.gpx"))); });
  return 0;
}
