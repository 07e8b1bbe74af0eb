// GPX reader: any bytes load or change nothing, and wherever the fast path
// reads the bytes, the XML reader stages the same points.
#include "FuzzHarness.h"
#include "common/GpxPathAgreement.h"
#include "import/GpxReader.h"

using namespace trelvano;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  FuzzWorld& w = fuzzWorld();
  expectLoadedOrUnchanged(bytes, size, [&](QByteArrayView in) { loadGpx(w.data, *w.staging, in, QStringLiteral("f.gpx")); });
  static const LoadStagingPtr fast = makeLoadStaging(), xml = makeLoadStaging();
  const std::string difference =
      gpxPathsDisagree(QByteArrayView(reinterpret_cast<const char*>(bytes), qsizetype(size)), *fast, *xml);
  if (!difference.empty()) {
    std::fprintf(stderr, "GPX paths disagree: %s\n", difference.c_str());
    std::abort();
  }
  return 0;
}
