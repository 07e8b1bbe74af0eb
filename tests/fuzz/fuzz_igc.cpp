// IGC reader: any bytes load or change nothing.
#include "FuzzHarness.h"
#include "import/IgcReader.h"

using namespace trelvano;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  FuzzWorld& w = fuzzWorld();
  expectLoadedOrUnchanged(bytes, size,
                          [&](QByteArrayView in) { loadIgc(w.data, *w.staging, in, QStringLiteral("f.igc")); });
  return 0;
}
