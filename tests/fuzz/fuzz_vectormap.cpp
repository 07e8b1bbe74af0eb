// Vector-map reader: any bytes load or change nothing.
#include "FuzzHarness.h"
#include "import/VectorMapReader.h"

using namespace trelvano;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  FuzzWorld& w = fuzzWorld();
  expectLoadedOrUnchanged(bytes, size, [&](QByteArrayView in) { loadVectorMap(w.data, in, QStringLiteral("f.map")); });
  return 0;
}
