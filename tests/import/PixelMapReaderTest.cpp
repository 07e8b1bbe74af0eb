// Pixel maps: decoding, the two samplings, the cells and frame, and failed loads.
#include "import/PixelMapReader.h"

#include "ImportTestSupport.h"
#include "model/Colour.h"

#include <QImageReader>

#include <vector>

namespace pixel_map_reader_test {

using namespace trelvano;

namespace {

void le16(QByteArray& b, uint32_t v) { b.append(char(v & 0xFF)).append(char(v >> 8 & 0xFF)); }
void le32(QByteArray& b, uint32_t v) {
  le16(b, v & 0xFFFF);
  le16(b, v >> 16);
}

// A Windows bitmap, rows stored bottom-up. bpp 8: `pixels` (top row first)
// index `palette` (0xRRGGBB); bpp 16: `pixels` are 5-5-5 values. Pixel data
// is left out with `headerOnly`.
QByteArray bmp(int w, int h, int bpp, const std::vector<uint32_t>& pixels, const std::vector<uint32_t>& palette = {},
               bool headerOnly = false) {
  const int rowBytes = (w * bpp / 8 + 3) / 4 * 4;
  const uint32_t offset = 14 + 40 + 4 * static_cast<uint32_t>(palette.size());
  QByteArray b("BM");
  le32(b, offset + rowBytes * h);
  le32(b, 0);
  le32(b, offset);
  for (uint32_t v : {40u, uint32_t(w), uint32_t(h)}) le32(b, v);
  le16(b, 1);
  le16(b, bpp);
  for (uint32_t v : {0u, uint32_t(rowBytes * h), 2835u, 2835u, uint32_t(palette.size()), 0u}) le32(b, v);
  for (uint32_t c : palette) le32(b, c);  // B, G, R, 0 in the file
  if (headerOnly) return b;
  for (int y = h - 1; y >= 0; --y) {
    QByteArray row;
    for (int x = 0; x < w; ++x) {
      const uint32_t p = pixels[static_cast<size_t>(y * w + x)];
      if (bpp == 8)
        row.append(char(p));
      else
        le16(row, p);
    }
    b += row.leftJustified(rowBytes, '\0');
  }
  return b;
}

void be32(QByteArray& b, uint32_t v) {
  b.append(char(v >> 24)).append(char(v >> 16)).append(char(v >> 8)).append(char(v));
}

QByteArray pngChunk(const char* type, const QByteArray& content) {
  QByteArray typed = QByteArray(type) + content;
  uint32_t crc = 0xFFFFFFFFu;
  for (char ch : typed) {
    crc ^= static_cast<uint8_t>(ch);
    for (int k = 0; k < 8; ++k) crc = crc >> 1 ^ (crc & 1 ? 0xEDB88320u : 0);
  }
  QByteArray b;
  be32(b, static_cast<uint32_t>(content.size()));
  b += typed;
  be32(b, ~crc);
  return b;
}

// A PNG file up to its (empty) first image data chunk: all a reader needs for the size.
QByteArray pngHeader(uint32_t w, uint32_t h) {
  QByteArray ihdr;
  be32(ihdr, w);
  be32(ihdr, h);
  ihdr.append("\x08\x02\x00\x00\x00", 5);  // 8-bit RGB
  return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", ihdr) + pngChunk("IDAT", {});
}

QImage picture(int w, int h, uint32_t (*colourAt)(int x, int y)) {
  QImage img(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) img.setPixel(x, y, 0xFF000000u | colourAt(x, y));
  return img;
}

// A colour that tells the pixel it came from, for pictures up to 4096 pixels.
uint32_t coordinates(int x, int y) {
  return uint32_t(x & 0xFF) << 16 | uint32_t(y & 0xFF) << 8 | (x >> 8) << 4 | (y >> 8);
}
int32_t model(uint32_t rgb) { return fromRgb32(rgb); }

struct Cells {
  std::vector<int32_t> colour = std::vector<int32_t>(kMapCellCount);
  int32_t at(int r, int c) const { return colour[static_cast<size_t>(r * kMapCellsPerSide + c)]; }
};

Cells sample(const QImage& img, bool fast) {
  Cells cells;
  sampleMapCells(img, fast, cells.colour.data());
  return cells;
}

class PixelMapLoad : public ImportTest {
 protected:
  void load(const QByteArray& bytes) { loadPixelMap(data, bytes, QStringLiteral("karte.bmp")); }
};

}  // namespace

TEST(PixelMapSampling, FastTakesTheCentreOfEachCell) {
  const Cells cells = sample(picture(1000, 1000, coordinates), true);
  for (int r = 0; r < kMapCellsPerSide; ++r)
    for (int c = 0; c < kMapCellsPerSide; ++c)
      ASSERT_EQ(cells.at(r, c), model(coordinates(10 * c + 5, 10 * r + 5))) << r << "," << c;
}

TEST(PixelMapSampling, SlowBlendsColumnByColumnAndNeighboursShareTheirBorder) {
  // One white pixel at (50, 50) on black: the four cells around it see it, each at another place of its order.
  const Cells cells =
      sample(picture(100, 100, [](int x, int y) { return x == 50 && y == 50 ? 0xFFFFFFu : 0u; }), false);
  EXPECT_EQ(cells.at(49, 49), 0xFEFEFE);  // last of its four pixels
  EXPECT_EQ(cells.at(50, 49), 0x7F7F7F);  // third: then one black pixel
  EXPECT_EQ(cells.at(49, 50), 0x3F3F3F);  // second: x = 50 comes before x = 51
  EXPECT_EQ(cells.at(50, 50), 0x1F1F1F);  // first
  int coloured = 0;
  for (int32_t c : cells.colour) coloured += c != 0;
  EXPECT_EQ(coloured, 4);

  // A black picture gives black cells.
  for (int32_t c : sample(picture(100, 100, [](int, int) { return 0u; }), false).colour) ASSERT_EQ(c, 0);
}

TEST(PixelMapSampling, ABlendThatReachesBlackRestartsFromTheNextPixel) {
  // Cell (0, 0) reads (0,0), (0,1), (1,0), (1,1) in this order.
  const Cells cells = sample(picture(100, 100,
                                     [](int x, int y) -> uint32_t {
                                       if (x == 0) return y == 0 ? 0x010101u : 0u;  // blends to 0
                                       return y == 0 ? 0x808080u : 0x202020u;
                                     }),
                             false);
  EXPECT_EQ(cells.at(0, 0), 0x505050);  // restarted at 0x808080, then 0x202020 blended in
}

TEST(PixelMapSampling, ReadsBeyondTheEdgeTakeTheEdgePixel) {
  // 1 × 1: every cell of both samplings is that pixel (its lowest colour bits are even).
  for (bool fast : {true, false})
    for (int32_t c : sample(picture(1, 1, [](int, int) { return 0x2468ACu; }), fast).colour)
      ASSERT_EQ(c, model(0x2468AC)) << fast;

  // 7 × 3: cell (99, 99) reads x = 7 and y = 3 in both samplings, one beyond the picture.
  const QImage small = picture(7, 3, coordinates);
  const Cells fast = sample(small, true), slow = sample(small, false);
  EXPECT_EQ(fast.at(0, 0), model(coordinates(0, 0)));
  EXPECT_EQ(fast.at(50, 50), model(coordinates(4, 2)));  // Round(3.535), Round(1.515)
  EXPECT_EQ(fast.at(99, 99), model(coordinates(6, 2)));
  EXPECT_EQ(slow.at(99, 99), model(coordinates(6, 2) & 0xFEFEFE));
}

TEST_F(PixelMapLoad, PaletteAnd16BitBitmapsDecodeToTheirColours) {
  // 2 × 2: the four corner cells take the four pixels. Five bits of 16-bit colour read as 0xF8 at most.
  const std::vector<uint32_t> palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
  const struct {
    QByteArray file;
    int32_t full;  // one colour byte at its largest
  } pictures[] = {{bmp(2, 2, 8, {1, 2, 3, 4}, palette), 0xFF}, {bmp(2, 2, 16, {0x7C00, 0x03E0, 0x001F, 0x7FFF}), 0xF8}};
  for (const auto& p : pictures) {
    load(p.file);
    EXPECT_EQ(data.MapCells[0].Color, p.full);                // red
    EXPECT_EQ(data.MapCells[99].Color, p.full << 8);          // green
    EXPECT_EQ(data.MapCells[9900].Color, p.full << 16);       // blue
    EXPECT_EQ(data.MapCells[9999].Color, p.full * 0x010101);  // white
  }
}

TEST_F(PixelMapLoad, CellsAndFrameLieOnTheSquareAroundTheOrigin) {
  const uint64_t version = data.SceneVersion;
  load(bmp(2, 2, 8, {0, 0, 0, 0}, {0}));
  EXPECT_GT(data.SceneVersion, version);
  EXPECT_EQ(data.MapCellsLast, 9999);
  struct Entry {
    int index;
    double x, y;
  };
  for (const Entry& e : {Entry{0, 500, 500}, Entry{99, -490, 500}, Entry{9900, 500, -490}, Entry{5050, 0, 0}}) {
    EXPECT_EQ(data.MapCells[e.index].X, e.x) << e.index;
    EXPECT_EQ(data.MapCells[e.index].Y, e.y) << e.index;
    EXPECT_EQ(data.MapCells[e.index].Z, 0);
    EXPECT_EQ(data.MapCells[e.index].Pen, kPenMove);
  }
  EXPECT_EQ(data.MapFrameLast, 4);
  const double frame[5][3] = {{500, 500, 0}, {500, -500, 1}, {-500, -500, 1}, {-500, 500, 1}, {500, 500, 1}};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(data.MapFrame[i].X, frame[i][0]);
    EXPECT_EQ(data.MapFrame[i].Y, frame[i][1]);
    EXPECT_EQ(data.MapFrame[i].Pen, frame[i][2]);
    EXPECT_EQ(data.MapFrame[i].Color, colours::kRed);
  }
}

TEST_F(PixelMapLoad, AFailedLoadKeepsTheEarlierMap) {
  load(bmp(2, 2, 8, {1, 2, 3, 4}, {0, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF}));
  const std::vector<FlightPoint> cells(data.MapCells.data(), data.MapCells.data() + kMapCellCount);
  const uint64_t version = data.SceneVersion;
  auto expectKept = [&](const char* what) {
    EXPECT_EQ(data.SceneVersion, version) << what;
    EXPECT_EQ(std::memcmp(cells.data(), data.MapCells.data(), cells.size() * sizeof(FlightPoint)), 0) << what;
  };

  // A bitmap cut short inside its pixel rows would decode with rows of
  // whatever the memory held; it is refused like any broken picture.
  const QByteArray whole = bmp(40, 30, 8, std::vector<uint32_t>(1200, 2), {0, 0xFF0000, 0x00FF00});
  for (const QByteArray& junk :
       {QByteArray(), QByteArray("no picture at all"), bmp(2, 2, 8, {}, {}, true), whole.chopped(1)}) {
    const auto e = errorOf([&] { load(junk); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->text().toStdString(), "Bitmap ist ungültig");
    EXPECT_EQ(e->detail(), QStringLiteral("Datei karte.bmp"));
    expectKept("undecodable");
  }

  // 400 megapixels promised by a header with no pixels behind it: refused before decoding.
  for (const QByteArray& header : {bmp(20000, 20000, 24, {}, {}, true), pngHeader(20000, 20000)}) {
    const auto huge = errorOf([&] { load(header); });
    ASSERT_TRUE(huge);
    EXPECT_EQ(huge->text().toStdString(), "Die Bitmap ist zu groß: 20000 × 20000 Pixel (höchstens 256 Megapixel)");
    expectKept("too large");
  }
  EXPECT_EQ(QImageReader::allocationLimit(), 1024);
  load(whole);
  EXPECT_EQ(data.MapCells[0].Color, model(0x00FF00));
}

TEST(PixelMapFilter, OffersBitmapsFirstAndEveryPictureFormatSecond) {
  const QStringList entries = pixelMapFilter().split(QStringLiteral(";;"));
  ASSERT_EQ(entries.size(), 2);
  EXPECT_EQ(entries[0], QStringLiteral("*.bmp"));
  for (const char* pattern : {"*.bmp", "*.png", "*.jpg", "*.jpeg"})
    EXPECT_TRUE(entries[1].contains(QLatin1String(pattern))) << pattern;
}

}  // namespace pixel_map_reader_test
