// The IGC records beside the fixes: task, events, extensions, security record.
#include "ImportTestSupport.h"
#include "import/IgcReader.h"

#include <cmath>

namespace igc_extras_test {

using namespace trelvano;

namespace {

IgcExtras extrasOf(const std::vector<QByteArray>& lines) {
  return readIgc(joinLines(lines), QStringLiteral("t.igc")).igc;
}

TEST(IgcExtras, TheLastDeclarationIsTheTaskAndPlaceholdersStayListed) {
  const IgcExtras x = extrasOf(
      {"C130718065902130718000103", "C4745633N01132683EOLD START", "C150701213841160701000102 500K Tri",
       "C0000000N00000000ETAKEOFF", "C5110179N00102644W Lasham Start S", "C4346000S17007700EMT COOK",
       "C52301N00017612W too short", "C5230147X00017612W bad hemisphere", "C5299147N00017612W minutes beyond 59",
       bRecord("120000", "4807038N", "01131456E"), bRecord("120001", "4807038N", "01131456E")});
  const auto& task = x.task;
  ASSERT_EQ(task.size(), 3u);
  EXPECT_TRUE(task[0].placeholder);
  EXPECT_EQ(task[0].name, QStringLiteral("TAKEOFF"));
  EXPECT_FALSE(task[1].placeholder);
  EXPECT_EQ(task[1].name, QStringLiteral("Lasham Start S"));
  EXPECT_NEAR(task[1].lat, 51 + 10.179 / 60, 1e-9);
  EXPECT_NEAR(task[1].lon, -(1 + 2.644 / 60), 1e-9);
  EXPECT_NEAR(task[2].lat, -(43 + 46.0 / 60), 1e-9);
}

TEST(IgcExtras, ExtensionsAreReadPerFixAndLadLodRefineThePosition) {
  // ENL in bytes 36-38, MOP 39-41, LAD 42, LOD 43 (after the GNSS altitude in 31-35).
  const Flight f =
      readIgc(joinLines({"I043638ENL3941MOP4242LAD4343LOD", bRecord("120000", "4807038N", "01131456W") + "95000078",
                         bRecord("120001", "4807038S", "01131456E") + "010x0155",
                         bRecord("120002", "4807038N", "01131456E") + "0"}),
              QStringLiteral("t.igc"));
  EXPECT_EQ(f.igc.enl, (std::vector<int16_t>{950, 10, -1}));
  EXPECT_EQ(f.igc.mop, (std::vector<int16_t>{0, -1, -1}));
  // Further tenths of a thousandth of a minute, towards the hemisphere's side.
  EXPECT_NEAR(f.fixes[0].Lat, 48 + 7.0387 / 60, 1e-12);
  EXPECT_NEAR(f.fixes[0].Lon, -(11 + 31.4568 / 60), 1e-12);
  EXPECT_NEAR(f.fixes[1].Lat, -(48 + 7.0385 / 60), 1e-12);
  EXPECT_NEAR(f.fixes[2].Lat, 48 + 7.038 / 60, 1e-12);
  // The start values keep the digits the B record gives.
  EXPECT_EQ(f.start.latRaw, 4807038);
}

TEST(IgcExtras, MalformedRecordsArePassedOverAndTheRestIsRead) {
  const Flight f = readIgc(joinLines({"I9936", "I013638EN", "E1202", "E996000PEV", "Ex20000PEV", "C", "G",
                                      bRecord("235959", "4807038N", "01131456E"), "E000003PEV first after midnight",
                                      bRecord("000005", "4807038N", "01131456E"), "GABCDEF"}),
                           QStringLiteral("t.igc"));
  EXPECT_EQ(f.fixes.size(), 2u);
  EXPECT_TRUE(f.igc.enl.empty());
  ASSERT_EQ(f.igc.events.size(), 1u);
  EXPECT_EQ(f.igc.events[0].code, QStringLiteral("PEV"));
  EXPECT_EQ(f.igc.events[0].point, 1);
  EXPECT_EQ(f.igc.events[0].time, 4.0);
  EXPECT_TRUE(f.igc.securityRecord);
}

}  // namespace

}  // namespace igc_extras_test
