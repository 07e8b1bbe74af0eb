// Parameter file: any bytes load or leave the table as it was; a loaded table
// saves to bytes that load to the same table, and every row converts raw
// values without an error other than the run-time's own.
#include "FuzzHarness.h"
#include "import/ChannelConversion.h"
#include "import/ParameterFile.h"

#include <cstring>

using namespace trelvano;

namespace {

void abortIf(bool failed, const char* what) {
  if (!failed) return;
  std::fprintf(stderr, "fuzz: %s\n", what);
  std::abort();
}

bool sameRow(const ChannelParam& a, const ChannelParam& b) {
  return a.Name == b.Name && std::memcmp(&a.Offset, &b.Offset, sizeof(double)) == 0 &&
         std::memcmp(&a.Koeffizient, &b.Koeffizient, sizeof(double)) == 0 &&
         std::memcmp(&a.Startwert, &b.Startwert, sizeof(double)) == 0 && a.Kind == b.Kind;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  FuzzWorld& w = fuzzWorld();
  bool loaded = false;
  ChannelParamTable table;
  expectLoadedOrUnchanged(bytes, size, [&](QByteArrayView in) {
    readParameterBytes(w.data.ChannelParams, in);
    table = w.data.ChannelParams;
    loaded = true;
  });
  if (!loaded) return 0;

  ChannelParamTable again;
  readParameterBytes(again, parameterFileBytes(table));
  for (int k = 0; k < kChannelCount; ++k) abortIf(!sameRow(table[k], again[k]), "a saved table loads differently");

  for (int k = 0; k < kChannelCount; ++k)
    for (int32_t raw : {0, 1, -1, 512, 1023, 65535, INT32_MAX, INT32_MIN}) {
      try {
        convertChannelValue(raw, table[k], 25.0, 480.0);
      } catch (const RunError& e) {
        abortIf(e.text().isEmpty(), "a conversion error without a message");
      }
    }
  return 0;
}
