#pragma once
// The controls of one chart window as plain values: the core sets them, the
// window copies them into its widgets after every handler.

#include "model/ChannelParams.h"

#include <QString>

namespace trelvano {

// The GPS curves in drawing order: "Höhe", "Groundspeed", "3D-Speed", "Air-Speed",
// and "Höhe über Grund" where terrain lies under the flight.
constexpr int kGpsCurveCount = 5;
enum GpsCurve { kGpsH = 0, kGpsV2 = 1, kGpsV3 = 2, kGpsAV = 3, kGpsAGL = 4 };

// Track bar ranges (vertical bars: position 0 or the minimum at the top).
constexpr int kWindDirectionMax = 40;
constexpr int kWindSpeedMax = 20;
constexpr int kTempBarMin = -35;
constexpr int kTempBarMax = 10;

// Captions of the channel boxes before the first redraw names them, by ChannelIndex.
extern const char* const kChannelBoxCaptions[kChannelCount];

struct ChartControls {
  bool gpsTicked[kGpsCurveCount] = {};
  bool gpsGroupEnabled = true;  // GroupBox1
  bool channelTicked[kChannelCount] = {};
  bool channelEnabled[kChannelCount];
  QString channelCaption[kChannelCount];
  int scaleIndex = 0;  // RadioGroupScale: 0 "einheitlich", 1 "individuell"
  bool zoomTicked = false;
  bool allFlightsTicked = false;  // "Alle Flüge": the heights of the other shown flights beside "Höhe"
  bool zoomEnabled = true;
  int windDirectionPosition = 20;  // TrackBarWindRichtung, 0 … 40
  int windSpeedPosition = 20;      // TrackBarWindSpeed, 0 … 20
  int temperaturePosition = 10;    // TrackBarTemp, -35 … 10 (minus the temperature)
  bool windGroupVisible = false;   // GroupBoxWind
  bool windEstimated = false;      // CheckBoxWindGeschaetzt: the wind estimated from the circles instead of the bars
  QString LabelTemp = QStringLiteral("??");
  QString LabelWindrichtung = QStringLiteral("180°");
  QString LabelWindstaerke = QStringLiteral("0m/s");
  QString Label[6] = {QStringLiteral("Label1"), QStringLiteral("Label2"), QStringLiteral("Label3"),
                      QStringLiteral("Label4"), QStringLiteral("Label5"), QStringLiteral("Label6")};

  ChartControls() {
    for (int c = 0; c < kChannelCount; ++c) {
      channelEnabled[c] = true;
      channelCaption[c] = QString::fromUtf8(kChannelBoxCaptions[c]);
    }
  }
};

}  // namespace trelvano
