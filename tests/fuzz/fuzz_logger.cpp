// Logger reader (both formats, with the barometric altitude switched on or
// off by the first byte): any bytes load or change nothing.
#include "FuzzHarness.h"
#include "import/AltitudeSource.h"
#include "import/LoggerReader.h"
#include "import/ShowFlight.h"

using namespace trelvano;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  if (size == 0) return 0;
  FuzzWorld& w = fuzzWorld();
  w.data.UseBaroAltitude = bytes[0] & 1;
  expectLoadedOrUnchanged(bytes + 1, size - 1, [&](QByteArrayView in) {
    showFlight(w.data, withAltitudeSource(readLogger(in, QStringLiteral("f.csv")), w.data.ChannelParams,
                                          w.data.Temperature, w.data.UseBaroAltitude));
  });
  w.data.UseBaroAltitude = false;
  return 0;
}
