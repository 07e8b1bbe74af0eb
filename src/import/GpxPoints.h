#pragma once
// The two ways loadGpx stages the points of a file in staging.gpxPoints
// (0 … n-1, the points GpxReader.h describes). The fast one reads the plain
// XML most writers emit and declines everything else, faults included; where
// it reads a file, both stage the same points.

#include "import/LoadStaging.h"

#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <limits>
#include <optional>

namespace trelvano {

constexpr double kNoPointTime = std::numeric_limits<double>::quiet_NaN();

// Any XML, through QXmlStreamReader. Returns the number of points; throws the
// errors of loadGpx.
int32_t stageGpxPointsXml(LoadStaging& staging, QByteArrayView bytes, const QString& fileName);

// The number of points (at least 1), or nothing where the file needs the
// reader above: other XML, no point, too many, or any fault. Long tracks have
// their later half read on a second core, from the first point that ends at
// or after gpxLaterHalfFrom(file size).
constexpr size_t kGpxWorthASecondCore = 256 * 1024;  // bytes
// A little before the middle: the reading in order has more to do per point.
constexpr size_t gpxLaterHalfFrom(size_t fileBytes) { return fileBytes * 15 / 32; }
std::optional<int32_t> stageGpxPointsFast(LoadStaging& staging, QByteArrayView bytes);

}  // namespace trelvano
