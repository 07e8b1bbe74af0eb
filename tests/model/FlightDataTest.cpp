#include "model/FlightData.h"

#include <gtest/gtest.h>

namespace flight_data_test {

using namespace trelvano;

TEST(FlightData, StartUpStateIsOneZeroPointAndTheStartValues) {
  const FlightDataPtr d = makeFlightData();
  EXPECT_EQ(d->LastPoint, 0);
  EXPECT_EQ(d->FlightPath[0].Pen, 0);
  EXPECT_EQ(d->FlightPath[0].Color, 0);
  EXPECT_EQ(d->FlightPath[131071].X, 0.0);
  EXPECT_EQ(d->RawSamples[32767][15], 0);
  EXPECT_EQ(d->Temperature, 25.0);
  EXPECT_EQ(d->SampleInterval, 2.0);
  EXPECT_TRUE(d->MouseDragBlocked);
  EXPECT_TRUE(d->HasGpsColumns);
  EXPECT_TRUE(d->FastMapLoading);
  EXPECT_TRUE(d->HideMapWhileDragging);
  EXPECT_FALSE(d->UseBaroAltitude);
  EXPECT_EQ(d->ChannelParams[7].Name, QStringLiteral("Frequenz"));
  EXPECT_EQ(d->ChannelParams[12].Koeffizient, 1.0);
}

TEST(FlightData, EveryTableChecksItsIndexes) {
  const FlightDataPtr d = makeFlightData();
  auto expectRange = [](auto&& access) {
    try {
      access();
      ADD_FAILURE() << "no range error";
    } catch (const RunError& e) {
      EXPECT_EQ(e.text(), QStringLiteral("Fehler bei Bereichsprüfung"));
    }
  };
  expectRange([&] { (void)d->FlightPath[131072]; });
  expectRange([&] { (void)d->PlumbLines[-1]; });
  expectRange([&] { (void)d->RawSamples[32768]; });
  expectRange([&] { (void)d->ChannelSamples[0][16]; });
  expectRange([&] { (void)d->ChannelParams[13]; });
}

}  // namespace flight_data_test
