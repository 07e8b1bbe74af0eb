#pragma once
// Pixel maps: a picture laid on the 1000 m square around the origin point,
// north at the top, sampled into the 100 × 100 entries of MapCells and
// outlined by the five points of MapFrame.

#include "model/FlightData.h"

#include <QByteArrayView>
#include <QImage>
#include <QString>
#include <cstdint>

namespace trelvano {

constexpr int kMapCellsPerSide = 100;
constexpr int kMapCellCount = kMapCellsPerSide * kMapCellsPerSide;
constexpr int kMapHalfSide = 500;  // metres from the origin to each edge of the square
constexpr int kMapCellSize = 10;   // metres between neighbouring entries
// Larger pictures are refused from their header, before anything is decoded.
constexpr int64_t kMaxMapPixels = int64_t{256} * 1024 * 1024;

// The open dialog's filter: "*.bmp", then one entry with every picture format
// this Qt reads (PNG and JPEG among them).
QString pixelMapFilter();

// A name ending in the suffix of a picture format Qt reads, in any case.
bool isPictureFileName(const QString& path);

// The colours ($00BBGGRR) of the 100 × 100 entries, row r (0 = north) and
// column c (0 = west) at r × 100 + c, sampled from a picture of any format
// (read through scan lines of a 32-bit copy).
// fast: the pixel at the centre of each cell's part of the picture,
//   (Round(W / 100 × (c + 0.5)), Round(H / 100 × (r + 0.5))).
// Otherwise every pixel of x = Round(W / 100 × c) … Round(W / 100 × (c + 1)),
//   and for each x of y = Round(H / 100 × r) … Round(H / 100 × (r + 1)), in
//   this order, blended into a running colour: each byte halved and added,
//   later pixels weighing more; while the colour is 0 (black) it restarts
//   from the pixel. Neighbouring cells share their border column and row.
// A pixel beyond the picture's right or bottom edge reads as the nearest edge pixel.
void sampleMapCells(const QImage& picture, bool fast, int32_t* colours);

// Decodes a picture file's bytes (any format Qt reads, told by its content)
// with Qt's image readers, samples it (fast while FastMapLoading) and
// replaces MapCells (MapCellsLast 9999) and MapFrame (MapFrameLast 4). A
// picture that cannot be decoded throws "Bitmap ist ungültig", one whose
// header promises more than kMaxMapPixels a text naming its size, each with
// the file name as detail. On failure nothing changes.
void loadPixelMap(FlightData& data, QByteArrayView bytes, const QString& fileName);

// Writes the entries of MapCells from their colours, and MapFrame.
void setMapCells(FlightData& data, const int32_t* colours);

}  // namespace trelvano
