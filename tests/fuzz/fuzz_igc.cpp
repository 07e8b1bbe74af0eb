// IGC reader: any bytes load or change nothing.
#include "FuzzHarness.h"
#include "import/IgcReader.h"
#include "import/ShowFlight.h"

using namespace trelvano;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  FuzzWorld& w = fuzzWorld();
  expectLoadedOrUnchanged(bytes, size,
                          [&](QByteArrayView in) { showFlight(w.data, readIgc(in, QStringLiteral("f.igc"))); });
  return 0;
}
