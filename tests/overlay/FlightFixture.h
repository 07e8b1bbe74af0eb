#pragma once
// Small hand-made flights with the 3D view and the side panels around them.

#include "model/FlightData.h"
#include "overlay/SidePanels.h"
#include "view3d/View3D.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <iterator>
#include <vector>

namespace trelvano {

// A fix in the local frame.
struct LocalFix {
  double x, y, z;  // metres
  double dt;       // seconds since the previous fix
};

// Replaces the flight by these fixes (LastPoint = count - 1, the whole flight shown).
inline void setFlight(FlightData& data, const std::vector<LocalFix>& fixes) {
  int i = 0;
  for (const LocalFix& f : fixes) {
    FlightPoint& p = data.FlightPath[i];
    p.X = f.x, p.Y = f.y, p.Z = f.z, p.TimeStep = f.dt;
    p.Pen = i == 0 ? kPenMove : kPenLine;
    ++i;
  }
  data.LastPoint = i - 1;
  data.RangeStart = 0;
  data.RangeEnd = data.LastPoint;
}

// A straight flight towards west: one fix per second at the given speeds (m/s).
inline void setSpeeds(FlightData& data, std::initializer_list<double> speeds, double z = 100) {
  std::vector<LocalFix> fixes{{0, 0, z, 1}};
  for (double v : speeds) fixes.push_back({fixes.back().x + v, 0, z, 1});
  setFlight(data, fixes);
}

inline std::vector<int32_t> pointColours(const FlightData& data) {
  std::vector<int32_t> c;
  for (int i = 0; i <= data.LastPoint; ++i) c.push_back(data.FlightPath[i].Color);
  return c;
}

using Texts = std::vector<QString>;
// Label9 … Label15 of "Navigation" and the six values of "Info".
inline Texts navTexts(const SidePanels& p) { return {std::begin(p.nav), std::end(p.nav)}; }
inline Texts infoTexts(const SidePanels& p) { return {std::begin(p.info), std::end(p.info)}; }

class FlightTest : public ::testing::Test {
 protected:
  FlightDataPtr dataPtr = makeFlightData();
  FlightData& data = *dataPtr;
  View3D view{data};
  SidePanels panels;
};

}  // namespace trelvano
