#include "import/VectorMapReader.h"

#include "import/LocalFrame.h"
#include "import/TextLines.h"
#include "model/RunError.h"

#include <QtEndian>

#include <cmath>
#include <cstring>
#include <vector>

namespace trelvano {

namespace {

// One record as it lies on disk. Byte arrays only, so the compiler adds no
// padding; the numbers are little-endian whatever the machine.
struct VectorMapRecord {
  uint8_t lat[8];       // f64, decimal degrees, north positive
  uint8_t lon[8];       // f64, decimal degrees, east positive
  uint8_t altitude[8];  // f64, kept; nothing reads it
  uint8_t color[4];     // i32, $00BBGGRR: fill and outline
  uint8_t pen[4];       // i32, 0 = starts a polygon
};
static_assert(sizeof(VectorMapRecord) == kVectorRecordSize);

}  // namespace

void loadVectorMap(FlightData& data, QByteArrayView bytes, const QString& fileName) {
  const qsizetype count = bytes.size() / kVectorRecordSize;
  if (count > kPointCapacity) throw inFile(RunError::range(), fileName);

  const FlightPoint& first = data.FlightPath[0];
  const FrameOrigin origin{first.Lat, first.Lon, 0};
  // Read apart first: a file that fails leaves the map as it was.
  std::vector<FlightPoint> staged(static_cast<size_t>(count));
  for (qsizetype k = 0; k < count; ++k) {
    VectorMapRecord record;
    std::memcpy(&record, bytes.data() + k * kVectorRecordSize, sizeof record);
    FlightPoint p{};
    p.Lat = qFromLittleEndian<double>(record.lat);
    p.Lon = qFromLittleEndian<double>(record.lon);
    p.Altitude = qFromLittleEndian<double>(record.altitude);
    p.Color = qFromLittleEndian<int32_t>(record.color);
    // Any value but 0 continues the polygon. Stored as 1: the transform reads
    // 2 and 3 as points behind the viewer and turns a 3 back into a start.
    p.Pen = qFromLittleEndian<int32_t>(record.pen) == 0 ? kPenMove : kPenLine;
    p.X = frameX(p.Lat, p.Lon, origin);
    p.Y = frameY(p.Lat, origin);
    // Such a vertex would stop every later redraw with this error.
    if (!std::isfinite(p.X) || !std::isfinite(p.Y))
      throw RunError::invalidFloatOp().withDetail(QStringLiteral("Datei %1, Datensatz %2").arg(fileName).arg(k + 1));
    staged[static_cast<size_t>(k)] = p;
  }

  ++data.SceneVersion;
  if (count > 0) std::memcpy(data.VectorMap.data(), staged.data(), static_cast<size_t>(count) * sizeof(FlightPoint));
  data.VectorMapLast = static_cast<int32_t>(count - 1);
}

}  // namespace trelvano
