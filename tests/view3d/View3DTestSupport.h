#pragma once
#include "view3d/View3D.h"

#include <gtest/gtest.h>

namespace trelvano {

// A fresh flight model at its start-up state with a 3D view on it.
class ViewTest : public ::testing::Test {
 protected:
  FlightDataPtr owner = makeFlightData();
  FlightData& d = *owner;
  View3D view{d};
};

}  // namespace trelvano
