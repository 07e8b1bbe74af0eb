#include "overlay/Infobox.h"

#include "FlightFixture.h"

namespace infobox_test {

using namespace trelvano;

TEST(DurationText, HoursOnlyFromAFullHourAndSecondsRoundedToEven) {
  EXPECT_EQ(durationText(59.6), "1 min 0 s");
  EXPECT_EQ(durationText(3725), "1 h 2 min 5 s");
  EXPECT_EQ(durationText(3600), "1 h 0 min 0 s");
  EXPECT_EQ(durationText(7199.4), "1 h 59 min 59 s");
  EXPECT_EQ(durationText(3599.4), "59 min 59 s");
  EXPECT_EQ(durationText(0), "0 min 0 s");
  EXPECT_EQ(durationText(2.5), "0 min 2 s");
}

using InfoboxTest = FlightTest;

TEST_F(InfoboxTest, JumpFilterOnTheThreeDimensionalSpeed) {
  struct Case {
    std::initializer_list<double> speeds;
    const char* top;
  } cases[] = {
      {{10, 10, 40, 10, 10}, "36 km/h"},  // a single 40 m/s fix is a jump
      {{10, 10, 10, 100}, "360 km/h"},    // the last fix is the first reference
      {{70, 50, 30, 10}, "252 km/h"},     // each compared with the one accepted before it
  };
  for (const Case& c : cases) {
    setSpeeds(data, c.speeds);
    Infobox(data, panels);
    EXPECT_EQ(panels.info[kInfoVmax3], c.top);
    EXPECT_EQ(panels.info[kInfoVmax], c.top);
  }

  // Fix 3 climbs 30 m while moving 30 m: a jump along the path, so its
  // plausible 30 m/s over ground does not count either.
  setFlight(data, {{0, 0, 0, 1}, {10, 0, 0, 1}, {20, 0, 0, 1}, {50, 0, 30, 1}, {60, 0, 30, 1}, {70, 0, 30, 1}});
  Infobox(data, panels);
  EXPECT_EQ(panels.info[kInfoVmax], "36 km/h");
}

TEST_F(InfoboxTest, ExtentsHeightRangeAndDuration) {
  // Only descending, 2.5 m east-west and 3.5 m north-south; the time step of
  // point 0 is not part of the duration.
  setFlight(data, {{0, 0, 500, 2}, {2.5, 3.5, 300, 30}, {1, 1, 100, 29.6}});
  Infobox(data, panels);
  EXPECT_EQ(infoTexts(panels), (Texts{"1 min 0 s", "400 m", "1 km/h", "24 km/h", "4 m", "2 m"}));
}

TEST_F(InfoboxTest, SinglePointAndEmptyFlightGiveZeros) {
  for (int32_t last : {0, -1}) {
    data.LastPoint = last;
    Infobox(data, panels);
    EXPECT_EQ(infoTexts(panels), (Texts{"0 min 0 s", "0 m", "0 km/h", "0 km/h", "0 m", "0 m"}));
  }
}

TEST_F(InfoboxTest, FixWithoutTimeStepIsLeftOutOfTheSpeeds) {
  // Two fixes in one second at the end, 5 m apart: no speed, and it must not
  // become the filter's reference (30 m/s would then be a jump above 0).
  setFlight(data, {{0, 0, 0, 1}, {30, 0, 0, 1}, {60, 0, 0, 1}, {65, 0, 0, 0}});
  Infobox(data, panels);
  EXPECT_EQ(infoTexts(panels), (Texts{"0 min 2 s", "0 m", "108 km/h", "108 km/h", "0 m", "65 m"}));

  // Every step 0 (the recomputed frame copies a zero step everywhere).
  setFlight(data, {{0, 0, 0, 0}, {30, 0, 0, 0}, {60, 0, 0, 0}});
  Infobox(data, panels);
  EXPECT_EQ(infoTexts(panels), (Texts{"0 min 0 s", "0 m", "0 km/h", "0 km/h", "0 m", "60 m"}));
}

}  // namespace infobox_test
