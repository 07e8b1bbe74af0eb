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

constexpr double kNoPointTime = std::numeric_limits<double>::quiet_NaN();

// Any XML, through QXmlStreamReader. Returns the number of points; throws the
// errors of loadGpx.
int32_t stageGpxPointsXml(LoadStaging& staging, QByteArrayView bytes, const QString& fileName);

// The number of points (at least 1), or nothing where the file needs the
// reader above: other XML, no point, too many, or any fault.
std::optional<int32_t> stageGpxPointsFast(LoadStaging& staging, QByteArrayView bytes);
