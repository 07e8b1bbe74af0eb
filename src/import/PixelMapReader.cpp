#include "import/PixelMapReader.h"

#include "import/TextLines.h"
#include "model/Numbers.h"
#include "model/RunError.h"
#include "model/Colour.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>
#include <QStringList>
#include <QtEndian>

#include <algorithm>
#include <array>

namespace trelvano {

namespace {

constexpr uint32_t kColourBits = 0x00FFFFFFu;
// Bytes of the decoded picture Qt may allocate: kMaxMapPixels at 32 bits.
constexpr int kAllocationLimitMb = static_cast<int>(kMaxMapPixels * 4 / (1024 * 1024));

RunError invalidBitmap() { return {RunErrorKind::Graphic, QStringLiteral("Bitmap ist ungültig")}; }

// Width and height in pixels as a picture's header gives them.
struct PictureSize {
  int64_t width = -1, height = -1;
  bool known() const { return width >= 0 && height >= 0; }
};

RunError bitmapTooLarge(PictureSize size) {
  return {RunErrorKind::Graphic, QStringLiteral("Die Bitmap ist zu groß: %1 × %2 Pixel (höchstens %3 Megapixel)")
                                     .arg(size.width)
                                     .arg(size.height)
                                     .arg(kMaxMapPixels / (1024 * 1024))};
}

// The size in a Windows bitmap's header. Qt's reader refuses to report it for
// the pictures that are too large, so it is read here.
PictureSize bitmapHeaderSize(QByteArrayView bytes) {
  if (bytes.size() < 26 || !bytes.startsWith("BM")) return {};
  const char* p = bytes.data();
  if (qFromLittleEndian<quint32>(p + 14) == 12)  // the old core header: 16-bit sizes
    return {qFromLittleEndian<quint16>(p + 18), qFromLittleEndian<quint16>(p + 20)};
  const int64_t height = qFromLittleEndian<qint32>(p + 22);
  return {qFromLittleEndian<qint32>(p + 18), height < 0 ? -height : height};  // negative: rows top-down
}

// An uncompressed Windows bitmap whose pixel rows end before its header's
// height is reached: a file cut short.
bool bitmapRowsMissing(QByteArrayView bytes, PictureSize size) {
  if (bytes.size() < 30 || !bytes.startsWith("BM") || !size.known()) return false;
  const char* p = bytes.data();
  const bool core = qFromLittleEndian<quint32>(p + 14) == 12;
  const int64_t bits = core ? qFromLittleEndian<quint16>(p + 24) : qFromLittleEndian<quint16>(p + 28);
  const uint32_t compression = core || bytes.size() < 34 ? 0 : qFromLittleEndian<quint32>(p + 30);
  constexpr uint32_t kRgb = 0, kBitFields = 3;
  if (compression != kRgb && compression != kBitFields) return false;  // run lengths: no fixed size
  const int64_t rowBytes = (size.width * bits + 31) / 32 * 4;
  return int64_t(qFromLittleEndian<quint32>(p + 10)) + rowBytes * size.height > bytes.size();
}

PictureSize headerSize(QImageReader& reader, QByteArrayView bytes) {
  const QSize size = reader.size();
  return size.isValid() ? PictureSize{size.width(), size.height()} : bitmapHeaderSize(bytes);
}

// The picture in a format whose scan lines hold one 32-bit pixel 0xAARRGGBB each.
QImage thirtyTwoBit(const QImage& picture) {
  if (picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_ARGB32) return picture;
  return picture.convertToFormat(QImage::Format_RGB32);
}

// Round(size / 100 × k), the pixel index of the cell border k (k may be fractional).
int cellBorder(int size, double k) { return static_cast<int>(Round(size / 100.0 * k)); }

// Each colour byte halved (div 2), the top byte 0.
inline uint32_t half(uint32_t c) { return (c >> 1) & 0x007F7F7Fu; }

}  // namespace

bool isPictureFileName(const QString& path) {
  const QString suffix = QFileInfo(path).suffix().toLower();
  return !suffix.isEmpty() && QImageReader::supportedImageFormats().contains(suffix.toLatin1());
}

QString pixelMapFilter() {
  QStringList patterns;
  for (const QByteArray& format : QImageReader::supportedImageFormats())
    patterns << QStringLiteral("*.") + QString::fromLatin1(format);
  return QStringLiteral("*.bmp;;Bilder (%1)").arg(patterns.join(QLatin1Char(' ')));
}

void sampleMapCells(const QImage& picture, bool fast, int32_t* colours) {
  const QImage image = thirtyTwoBit(picture);
  if (image.isNull()) throw invalidBitmap();
  const int w = image.width(), h = image.height();
  const uchar* const bits = image.constBits();
  const qsizetype bytesPerLine = image.bytesPerLine();
  // Reads beyond the right or bottom edge take the edge pixel.
  auto pixel = [&](int x, int y) {
    const auto* line = reinterpret_cast<const uint32_t*>(bits + std::min(y, h - 1) * bytesPerLine);
    return line[std::min(x, w - 1)] & kColourBits;
  };

  if (fast) {
    std::array<int, kMapCellsPerSide> xs, ys;
    for (int k = 0; k < kMapCellsPerSide; ++k) {
      xs[k] = cellBorder(w, k + 0.5);
      ys[k] = cellBorder(h, k + 0.5);
    }
    for (int r = 0; r < kMapCellsPerSide; ++r)
      for (int c = 0; c < kMapCellsPerSide; ++c) colours[r * kMapCellsPerSide + c] = fromRgb32(pixel(xs[c], ys[r]));
    return;
  }

  std::array<int, kMapCellsPerSide + 1> xs, ys;
  for (int k = 0; k <= kMapCellsPerSide; ++k) {
    xs[k] = cellBorder(w, k);
    ys[k] = cellBorder(h, k);
  }
  for (int r = 0; r < kMapCellsPerSide; ++r)
    for (int c = 0; c < kMapCellsPerSide; ++c) {
      uint32_t col = 0;
      for (int px = xs[c]; px <= xs[c + 1]; ++px)
        for (int py = ys[r]; py <= ys[r + 1]; ++py) {
          const uint32_t p = pixel(px, py);
          if (col == 0) col = p;
          col = half(col) + half(p);
        }
      colours[r * kMapCellsPerSide + c] = fromRgb32(col);
    }
}

void setMapCells(FlightData& data, const int32_t* colours) {
  ++data.SceneVersion;
  FlightPoint* const cells = data.MapCells.data();
  for (int r = 0; r < kMapCellsPerSide; ++r)
    for (int c = 0; c < kMapCellsPerSide; ++c) {
      FlightPoint& p = cells[r * kMapCellsPerSide + c];
      p.X = kMapHalfSide - kMapCellSize * c;
      p.Y = kMapHalfSide - kMapCellSize * r;
      p.Z = 0;
      p.Color = colours[r * kMapCellsPerSide + c];
      p.Pen = kPenMove;
    }
  data.MapCellsLast = kMapCellCount - 1;

  // The square's outline, clockwise from the north-west corner.
  constexpr int kFrame[5][3] = {{kMapHalfSide, kMapHalfSide, kPenMove},
                                {kMapHalfSide, -kMapHalfSide, kPenLine},
                                {-kMapHalfSide, -kMapHalfSide, kPenLine},
                                {-kMapHalfSide, kMapHalfSide, kPenLine},
                                {kMapHalfSide, kMapHalfSide, kPenLine}};
  for (int i = 0; i < 5; ++i) {
    FlightPoint& p = data.MapFrame[i];
    p.X = kFrame[i][0];
    p.Y = kFrame[i][1];
    p.Z = 0;
    p.Pen = kFrame[i][2];
    p.Color = colours::kRed;
  }
  data.MapFrameLast = 4;
}

void loadPixelMap(FlightData& data, QByteArrayView bytes, const QString& fileName) {
  // Nothing Qt decodes may grow beyond what the largest accepted picture needs.
  if (QImageReader::allocationLimit() != kAllocationLimitMb) QImageReader::setAllocationLimit(kAllocationLimitMb);
  QByteArray raw = QByteArray::fromRawData(bytes.data(), bytes.size());
  QBuffer device(&raw);
  device.open(QIODevice::ReadOnly);
  QImageReader reader(&device);
  std::array<int32_t, kMapCellCount> colours;
  try {
    const PictureSize size = headerSize(reader, raw);
    if (size.known() && size.width * size.height > kMaxMapPixels) throw bitmapTooLarge(size);
    if (bitmapRowsMissing(raw, size)) throw invalidBitmap();
    // Qt's bitmap reader leaves the rows a run-length picture never reaches
    // as they were; decoded into a picture filled beforehand they are the
    // first palette colour, not whatever the memory held.
    QImage picture;
    if (size.known() && reader.imageFormat() != QImage::Format_Invalid) {
      picture = QImage(int(size.width), int(size.height), reader.imageFormat());
      picture.fill(0);
    }
    if (!reader.read(&picture)) throw invalidBitmap();
    sampleMapCells(picture, data.FastMapLoading, colours.data());
  } catch (const RunError& e) {
    throw inFile(e, fileName);
  }
  setMapCells(data, colours.data());
}

}  // namespace trelvano
