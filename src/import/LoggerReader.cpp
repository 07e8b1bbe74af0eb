#include "import/LoggerReader.h"

#include "import/AltitudeSource.h"
#include "import/Coordinates.h"
#include "import/LoggerField.h"
#include "import/LoggerLineShape.h"
#include "import/SizedToFile.h"
#include "import/TextLines.h"
#include "model/Numbers.h"

#include <algorithm>
#include <vector>

namespace trelvano {

namespace {

constexpr int kNewFormatMinFields = 6;
constexpr int32_t kGpsColumnsFlag = 64;  // bit 6 of the header's second field

// What a read has found so far.
struct LoggerScan {
  int32_t headerId = 0;
  int32_t headerFlags = 0;
  bool newFormat = false;
  double sampleInterval = 2.0;
  int32_t points = 0;     // counted lines
  bool anyDigit = false;  // a counted line held a digit: the file holds numbers, not only text
  int32_t startLatRaw = 0, startLonRaw = 0;
  double startAltitude = 0;
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

// The slots the data lines go to: line n into fixes[n] (and rows[n]). A line
// whose first field ends the line is not counted: the next line takes its slot.
struct LineSlots {
  std::vector<Fix>& fixes;
  std::vector<SampleRow>& rows;

  template <class T>
  static T& slot(std::vector<T>& v, int32_t n) {
    if (size_t(n) == v.size()) v.emplace_back();
    return v[size_t(n)];
  }
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
// The altitude comes later, from the altitude source.
bool readNewFormatLine(LoggerCursor& c, LineSlots st, int32_t n, bool gpsColumns, LoggerScan& scan,
                       LoggerLineShape& shape) {
  if (n >= kSampleRows) throw RunError::tooManySamples(kSampleRows);
  int32_t* const row = LineSlots::slot(st.rows, n).v;
  const int fields = gpsColumns ? kSampleColumns : kChannelCount;
  bool firstEnded = false;  // a plain line has more than one field
  if (!readByShape(c, row, fields, shape)) {
    row[0] = ReadLoggerField(c);
    firstEnded = c.FieldEndedLine;
    for (int k = 1; k < fields; ++k) row[k] = ReadLoggerField(c);
  }
  if (!gpsColumns) row[kColLat] = row[kColLon] = row[kColGpsAlt] = 0;
  LineSlots::slot(st.fixes, n) = {loggerDegrees(row[kColLat]), loggerDegrees(row[kColLon]), 0.0, 0.0,
                                  scan.sampleInterval};
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
  const double altitude = height * 0.13;
  LineSlots::slot(st.fixes, n) = {loggerDegrees(lat), loggerDegrees(lon), double(aux), altitude, scan.sampleInterval};
  if (n == 0) {
    scan.startLatRaw = lat;
    scan.startLonRaw = lon;
    scan.startAltitude = altitude;
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

}  // namespace

Flight readLogger(QByteArrayView bytes, const QString& fileName) {
  const char* const text = bytes.data();
  LoggerCursor c{text, textEnd(text, text + bytes.size())};
  LoggerScan scan;
  Flight flight;
  flight.fileName = fileName;
  try {
    detectFormat(c, scan);
    c.pos = text;
    c.FieldEndedLine = false;
    if (scan.newFormat) readNewFormatHeader(c, scan);
    // The shortest lines: 13 or 16 fields of one digit each, or 4 fields.
    if (scan.newFormat) {
      reserveForFile(flight.samples, bytes.size(), 2 * kChannelCount, kSampleRows);
      reserveForFile(flight.fixes, bytes.size(), 2 * kChannelCount, kSampleRows);
    } else {
      reserveForFile(flight.fixes, bytes.size(), 8, kMaxFlightPoints);
    }
    readLineRange(c, {flight.fixes, flight.samples}, scan);
  } catch (const RunError& e) {
    throw atFileLine(e, fileName, lineNumberAt(text, c.pos));
  }
  // Text without a single digit reads as zeros; it is no recording.
  if (scan.points == 0 || !scan.anyDigit) throw inFile(RunError::noFlightData(), fileName);

  // The slot of a last line that was not counted is no sample.
  flight.fixes.resize(size_t(scan.points));
  fitToSize(flight.fixes);
  flight.kind = scan.newFormat ? FlightKind::LoggerNew : FlightKind::LoggerOld;
  flight.start = {double(scan.startLatRaw), double(scan.startLonRaw), scan.startAltitude};
  flight.sampleInterval = scan.sampleInterval;
  flight.loggerHeaderId = scan.headerId;
  flight.loggerHeaderFlags = scan.headerFlags;
  flight.hasGpsColumns = (scan.headerFlags & kGpsColumnsFlag) != 0;
  flight.altitudeLabel = altitudeLabel(-1);
  if (scan.newFormat) {
    flight.samples.resize(size_t(scan.points));
    fitToSize(flight.samples);
    try {
      const std::vector<double> altitudes = gpsAltitudes(flight.samples);
      for (size_t i = 0; i < altitudes.size(); ++i) flight.fixes[i].Altitude = altitudes[i];
    } catch (const RunError& e) {
      throw inFile(e, fileName);
    }
  }
  return flight;
}

}  // namespace trelvano
