// Pixel map: decoding any bytes with Qt's picture readers and both samplings
// (the first byte chooses) loads or changes nothing.
#include "FuzzHarness.h"
#include "import/PixelMapReader.h"

#include <QBuffer>
#include <QImageReader>

using namespace trelvano;

namespace {

// Pictures of up to 256 megapixels are accepted and take up to a gigabyte and
// seconds to decode; the fuzzer keeps to small ones so it gets through many
// inputs (the size limit has tests of its own).
bool small(QByteArrayView in) {
  QByteArray raw = QByteArray::fromRawData(in.data(), in.size());
  QBuffer device(&raw);
  device.open(QIODevice::ReadOnly);
  const QSize size = QImageReader(&device).size();
  return !size.isValid() || qint64(size.width()) * size.height() <= 4'000'000;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  if (size == 0) return 0;
  FuzzWorld& w = fuzzWorld();
  if (!small(QByteArrayView(reinterpret_cast<const char*>(bytes + 1), qsizetype(size - 1)))) return 0;
  w.data.FastMapLoading = bytes[0] & 1;
  expectLoadedOrUnchanged(bytes + 1, size - 1,
                          [&](QByteArrayView in) { loadPixelMap(w.data, in, QStringLiteral("f.bmp")); });
  w.data.FastMapLoading = true;
  return 0;
}
