#pragma once
// The oracle for the two ways of staging GPX points (import/GpxPoints.h):
// where the fast one reads a file, the QXmlStreamReader one must read it too
// and stage the same points, bit for bit. Shared by the tests and the fuzzer.

#include "import/GpxPoints.h"
#include "import/LoadStagingData.h"
#include "model/RunError.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace trelvano {

// Empty where the two agree or the fast one declined (`fastRead` says which);
// otherwise the first difference.
inline std::string gpxPathsDisagree(QByteArrayView bytes, LoadStaging& fast, LoadStaging& xml,
                                    bool* fastRead = nullptr) {
  const std::optional<int32_t> count = stageGpxPointsFast(fast, bytes);
  if (fastRead) *fastRead = count.has_value();
  if (!count) return {};
  int32_t xmlCount = 0;
  try {
    xmlCount = stageGpxPointsXml(xml, bytes, QStringLiteral("t.gpx"));
  } catch (const RunError& e) {
    return "the fast path read a file the XML reader refuses: " + e.boxText().toStdString();
  }
  if (xmlCount != *count)
    return "fast path " + std::to_string(*count) + " points, XML reader " + std::to_string(xmlCount);
  for (int32_t i = 0; i < xmlCount; ++i) {
    const StagedGpxPoint& a = fast.gpxPoints[i];
    const StagedGpxPoint& b = xml.gpxPoints[i];
    if (std::memcmp(&a, &b, sizeof a) != 0) {
      char text[256];
      std::snprintf(text, sizeof text, "point %d: fast %.17g %.17g %.17g %.17g, XML reader %.17g %.17g %.17g %.17g",
                    int(i), a.lat, a.lon, a.altitude, a.time, b.lat, b.lon, b.altitude, b.time);
      return text;
    }
  }
  return {};
}

}  // namespace trelvano
