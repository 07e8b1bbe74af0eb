#include "ImportTestSupport.h"

#include "import/AltitudeSource.h"
#include "import/IgcReader.h"
#include "import/LoggerReader.h"
#include "import/ShowFlight.h"

#include <cstring>

namespace trelvano {

QString ImportTest::igc(const QByteArray& text, const QString& name) {
  const Flight flight = readIgc(text, name);
  showFlight(data, flight);
  return flight.altitudeLabel;
}

QString ImportTest::logger(const QByteArray& text, const QString& name) {
  const Flight flight =
      withAltitudeSource(readLogger(text, name), data.ChannelParams, data.Temperature, data.UseBaroAltitude);
  showFlight(data, flight);
  return flight.altitudeLabel;
}

std::optional<RunError> ImportTest::igcError(const QByteArray& text, const QString& name) {
  return errorOf([&] { igc(text, name); });
}

std::optional<RunError> ImportTest::loggerError(const QByteArray& text, const QString& name) {
  return errorOf([&] { logger(text, name); });
}

QByteArray bRecord(const char* time, const char* lat, const char* lon, const char* pressure, const char* gnss) {
  return QByteArray("B") + time + lat + lon + "A" + pressure + gnss;
}

QByteArray joinLines(const std::vector<QByteArray>& lines, const QByteArray& lineEnd) {
  QByteArray out;
  for (const QByteArray& l : lines) out += l + lineEnd;
  return out;
}

QByteArray newFormatFile(int flags, int code, const std::vector<QByteArray>& dataLines, const QByteArray& lineEnd) {
  std::vector<QByteArray> lines{"1;" + QByteArray::number(flags) + ";" + QByteArray::number(code) + ";0;0;0",
                                "second header line"};
  lines.insert(lines.end(), dataLines.begin(), dataLines.end());
  return joinLines(lines, lineEnd);
}

QByteArray newFormatLine(int base, int lat, int lon, int gpsAltDm) {
  QByteArray line;
  for (int k = 0; k < 13; ++k) line += QByteArray::number(base + k) + ";";
  return line + QByteArray::number(lat) + ";" + QByteArray::number(lon) + ";" + QByteArray::number(gpsAltDm);
}

std::optional<RunError> errorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const RunError& e) {
    return e;
  }
  ADD_FAILURE() << "no error was thrown";
  return std::nullopt;
}

void expectUnchanged(const FlightSnapshot& before, const FlightData& after) {
  EXPECT_EQ(before.differenceTo(after), "");
}

}  // namespace trelvano
