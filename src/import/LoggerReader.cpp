#include "import/LoggerReader.h"

#include "import/AltitudeSource.h"
#include "import/Coordinates.h"
#include "import/LocalFrame.h"
#include "import/LoadStagingData.h"
#include "import/LoggerField.h"
#include "import/LoggerLineShape.h"
#include "model/Numbers.h"

#include <algorithm>
#include <cstring>

namespace trelvano {

namespace {

constexpr int kNewFormatMinFields = 6;
constexpr int32_t kGpsColumnsFlag = 64;  // bit 6 of the header's second field

// Everything a load decides before it touches the flight.
struct LoggerScan {
  int32_t headerId = 0;
  int32_t headerFlags = 0;
  bool newFormat = false;
  double sampleInterval = 2.0;
  int32_t points = 0;        // counted lines
  bool anyDigit = false;     // a counted line held a digit: the file holds numbers, not only text
  int32_t slotsWritten = 0;  // slots (and new-format rows) written, counted or not
  int32_t startLatRaw = 0, startLonRaw = 0;
  double startAltitude = 0;
};

// The staged sample rows and points of a load, as fillAltitudes reads them.
struct StagedSlots {
  LoadStaging& st;

  const SampleRow& operator[](int32_t i) const { return st.rows[i]; }
  StagedPoint& point(int32_t i) const { return st.points[i]; }
};

// Line 1 has six or more fields: the new format. Fields 1 and 2 are the header values.
void detectFormat(LoggerCursor& c, LoggerScan& scan) {
  scan.headerId = ReadLoggerField(c);
  scan.headerFlags = ReadLoggerField(c);
  int count = 2;
  do {
    ReadLoggerField(c);
    ++count;
  } while (!c.FieldEndedLine);
  scan.newFormat = count >= kNewFormatMinFields;
}

// Fields 1 to 3 of line 1 (the third is the sample period code), then the two header lines.
void readNewFormatHeader(LoggerCursor& c, LoggerScan& scan) {
  ReadLoggerField(c);
  ReadLoggerField(c);
  const int32_t periodCode = ReadLoggerField(c);
  if (periodCode < 0) throw RunError::range();  // a broken header: time would run backwards
  scan.sampleInterval = checkedAdd(periodCode, 1) * 0.02;
  skipLine(c);
  skipLine(c);
}

// Where the data lines go: slot n into rows[n] and points[n].
struct LineSlots {
  SampleRow* rows;
  StagedPoint* points;
};

// The line at c.pos by the shape of the lines before it, or by a shape
// learnt from it, if it is plain.
bool readByShape(LoggerCursor& c, int32_t* row, int fields, LoggerLineShape& shape) {
  if (!shape.worthTrying()) return false;
  if (readShapedLine(c, row, shape)) {
    ++shape.hits;
    return true;
  }
  ++shape.misses;
  return learnLineShape(c.pos, c.end, fields, shape) && readShapedLine(c, row, shape);
}

// One data line into slot n; returns whether its first field ended the line.
bool readNewFormatLine(LoggerCursor& c, LineSlots st, int32_t n, bool gpsColumns, LoggerScan& scan,
                       LoggerLineShape& shape) {
  if (n >= kSampleRows) throw RunError::tooManySamples(kSampleRows);
  int32_t* const row = st.rows[n].v;
  const int fields = gpsColumns ? kSampleColumns : kChannelCount;
  bool firstEnded = false;  // a plain line has more than one field
  if (!readByShape(c, row, fields, shape)) {
    row[0] = ReadLoggerField(c);
    firstEnded = c.FieldEndedLine;
    for (int k = 1; k < fields; ++k) row[k] = ReadLoggerField(c);
  }
  if (!gpsColumns) row[kColLat] = row[kColLon] = row[kColGpsAlt] = 0;
  StagedPoint& pt = st.points[n];
  pt.latRaw = row[kColLat];
  pt.lonRaw = row[kColLon];
  if (n == 0) {
    scan.startLatRaw = row[kColLat];
    scan.startLonRaw = row[kColLon];
    scan.startAltitude = row[kColGpsAlt] * 0.1;
  }
  return firstEnded;
}

bool readOldFormatLine(LoggerCursor& c, LineSlots st, int32_t n, LoggerScan& scan) {
  const int32_t lat = ReadLoggerField(c);
  const bool firstEnded = c.FieldEndedLine;
  const int32_t lon = ReadLoggerField(c);
  const int32_t aux = ReadLoggerField(c);
  const int32_t height = ReadLoggerField(c);
  StagedPoint& pt = st.points[n];
  pt.latRaw = lat;
  pt.lonRaw = lon;
  pt.aux = aux;
  pt.altitude = height * 0.13;
  if (n == 0) {
    scan.startLatRaw = lat;
    scan.startLonRaw = lon;
    scan.startAltitude = pt.altitude;
  }
  return firstEnded;
}

// Reads the lines from c.pos to the end of the text, counting on from scan.points.
void readLineRange(LoggerCursor& c, LineSlots st, LoggerScan& scan) {
  const bool gpsColumns = (scan.headerFlags & kGpsColumnsFlag) != 0;
  int32_t n = scan.points;
  LoggerLineShape shape;
  while (!atTextEnd(c)) {
    c.FieldEndedLine = false;
    c.DigitSeen = false;
    const bool firstEnded =
        scan.newFormat ? readNewFormatLine(c, st, n, gpsColumns, scan, shape) : readOldFormatLine(c, st, n, scan);
    scan.slotsWritten = std::max(scan.slotsWritten, n + 1);
    if (!firstEnded) scan.anyDigit |= c.DigitSeen;
    // A line whose first field ended it is not counted: the next line overwrites slot n.
    if (!firstEnded && ++n > kMaxFlightPoints) {
      scan.points = n;
      throw RunError::tooManyPoints(kMaxFlightPoints);
    }
    skipLine(c);
    scan.points = n;
  }
}

void readLines(LoggerCursor& c, LoadStaging& st, LoggerScan& scan, const char* text, const QString& fileName) {
  try {
    readLineRange(c, {st.rows, st.points}, scan);
  } catch (const RunError& e) {
    throw atFileLine(e, fileName, lineNumberAt(text, c.pos));
  }
}

// Sample rows beyond the flight's points: the slot of a last line that was
// not counted, and in ChannelSamples the copy of the raw rows the load left
// (the rows of the flight itself are copied point by point below).
void copyRowsBeyondPoints(FlightData& data, const StagedSlots& staged, const LoggerScan& scan) {
  for (int32_t i = scan.points; i < scan.slotsWritten; ++i) data.RawSamples.rows[i] = staged[i];
  const int32_t from = std::max(scan.points, 0);
  std::memcpy(data.ChannelSamples.rows + from, data.RawSamples.rows + from, sizeof(SampleRow) * (kSampleRows - from));
}

// The flight tables from the staged file; nothing here can fail.
void commit(FlightData& data, const StagedSlots& staged, const LoggerScan& scan, bool useBaro) {
  data.LoggerHeaderId = scan.headerId;
  data.LoggerHeaderFlags = scan.headerFlags;
  data.HasGpsColumns = (scan.headerFlags & kGpsColumnsFlag) != 0;
  data.LoggerNG = scan.newFormat;
  data.HasPointTimes = false;  // a logger writes no dates
  data.Igc.clear();
  data.SampleInterval = scan.sampleInterval;
  data.UseBaroAltitude = useBaro;
  data.HasGnssAltitudes = false;
  data.HasFlight = true;
  const bool newFormat = scan.newFormat;
  if (newFormat) copyRowsBeyondPoints(data, staged, scan);
  if (scan.slotsWritten > 0) {
    data.StartLatRaw = scan.startLatRaw;
    data.StartLonRaw = scan.startLonRaw;
    data.StartAltitude = scan.startAltitude;
  }
  const int32_t last = scan.points - 1;
  data.LastPoint = last;
  data.RangeEnd = last;
  data.RangeStart = 0;

  auto writeRead = [&staged, newFormat](int32_t i, FlightPoint& p) {
    const StagedPoint& s = staged.point(i);
    p.Lat = loggerDegrees(s.latRaw);
    p.Lon = loggerDegrees(s.lonRaw);
    if (!newFormat) p.Aux = s.aux;
    p.Pen = i == 0 ? kPenMove : kPenLine;
    p.Color = colours::kBlue;
  };
  // A last line that was not counted still wrote its slot.
  if (scan.slotsWritten > scan.points) {
    FlightPoint& extra = data.FlightPath[scan.points];
    writeRead(scan.points, extra);
    if (!newFormat) extra.Altitude = staged.point(scan.points).altitude;
  }
  const double step = scan.sampleInterval;
  FrameOrigin origin{};
  if (last >= 0) {
    const StagedPoint& first = staged.point(0);
    origin = {loggerDegrees(first.latRaw), loggerDegrees(first.lonRaw), first.altitude};
  }
  // The sample rows go into both tables here: ChannelSamples starts as the
  // copy of RawSamples (KonvertExtra).
  writeFlightFrame(data, last, origin, [&](int32_t i, FlightPoint& p) {
    writeRead(i, p);
    p.Altitude = staged.point(i).altitude;
    p.TimeStep = step;
    if (newFormat) data.RawSamples.rows[i] = data.ChannelSamples.rows[i] = staged[i];
  });
}

}  // namespace

LoggerLoadResult loadLoggerFile(FlightData& data, LoadStaging& staging, QByteArrayView bytes, const QString& fileName) {
  const char* const text = bytes.data();
  LoggerCursor c{text, textEnd(text, text + bytes.size())};
  LoggerScan scan;
  try {
    detectFormat(c, scan);
    c.pos = text;
    c.FieldEndedLine = false;
    if (scan.newFormat) readNewFormatHeader(c, scan);
  } catch (const RunError& e) {
    throw atFileLine(e, fileName, lineNumberAt(text, c.pos));
  }
  readLines(c, staging, scan, text, fileName);
  // Text without a single digit reads as zeros; it is no recording.
  if (scan.points == 0 || !scan.anyDigit) throw inFile(RunError::noFlightData(), fileName);

  const StagedSlots staged{staging};
  LoggerLoadResult result;
  result.newFormat = scan.newFormat;
  bool useBaro = data.UseBaroAltitude;
  if (scan.newFormat) {
    // The altitude source works on the staged samples, so a conversion that
    // fails leaves the flight as it was.
    try {
      result.hLabel = fillAltitudes(scan.points - 1, staged, staged, data.ChannelParams, data.Temperature, useBaro,
                                    [&staged](int32_t i) -> double& { return staged.point(i).altitude; });
    } catch (const RunError& e) {
      throw inFile(e, fileName);
    }
  } else {
    result.hLabel = altitudeLabel(-1);
  }
  commit(data, staged, scan, useBaro);
  return result;
}

void KonvertExtra(FlightData& data) {
  std::memcpy(data.ChannelSamples.rows, data.RawSamples.rows, sizeof data.RawSamples.rows);
}

}  // namespace trelvano
