#pragma once
// Shared pieces of the reader tests: flight tables to load into, files built
// in memory, error checks and a snapshot of everything a load may touch.

#include "common/StateSnapshot.h"
#include "model/FlightData.h"
#include "model/RunError.h"

#include <QByteArray>
#include <QString>
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <vector>

namespace trelvano {

class ImportTest : public ::testing::Test {
 protected:
  FlightDataPtr dataPtr = makeFlightData();
  FlightData& data = *dataPtr;

  // A load as the file commands do it: the file's flight (a logger flight
  // with the altitude source of the settings in `data`) shown in `data`.
  // Both return the altitude label of the load.
  QString igc(const QByteArray& text, const QString& name = QStringLiteral("test.igc"));
  QString logger(const QByteArray& text, const QString& name = QStringLiteral("test.csv"));
  // The load's error; a load that succeeds fails the test and gives nullopt.
  std::optional<RunError> igcError(const QByteArray& text, const QString& name = QStringLiteral("test.igc"));
  std::optional<RunError> loggerError(const QByteArray& text, const QString& name = QStringLiteral("test.csv"));
};

// A B record: time HHMMSS, latitude DDMMmmm + N/S, longitude DDDMMmmm + E/W,
// validity A, pressure and GNSS altitude fields (5 characters each, or fewer
// to cut the line short).
QByteArray bRecord(const char* time, const char* lat, const char* lon, const char* pressure = "00100",
                   const char* gnss = "00150");

// Lines joined with `lineEnd` after each line (also after the last).
QByteArray joinLines(const std::vector<QByteArray>& lines, const QByteArray& lineEnd = "\r\n");

// A new-format logger file: header "1;<flags>;<code>;0;0;0", a second header
// line, then the given data lines.
QByteArray newFormatFile(int flags, int code, const std::vector<QByteArray>& dataLines,
                         const QByteArray& lineEnd = "\r\n");
// A new-format data line: the 13 channels (channel k = base + k), then latitude, longitude, GPS altitude.
QByteArray newFormatLine(int base, int lat, int lon, int gpsAltDm);

// The error thrown by `action`, or nullopt (and a test failure) when none is thrown.
std::optional<RunError> errorOf(const std::function<void()>& action);

// Everything a load may change, for byte-for-byte comparison.
using FlightSnapshot = StateSnapshot;
// Adds a failure naming the first difference.
void expectUnchanged(const FlightSnapshot& before, const FlightData& after);

}  // namespace trelvano
