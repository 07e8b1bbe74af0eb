// trelvano-dump --score: the key "score" of one flight, and one JSON line a
// file, in the order given, over several (a file that fails to load gives
// its own line and does not stop the others).
#include "common/TestPaths.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <gtest/gtest.h>

namespace dump_score_test {

using namespace trelvano;

namespace {

struct ScoreRun {
  int exitCode = -1;
  std::vector<QJsonObject> lines;
};

ScoreRun dumpScore(const QStringList& args) {
  QProcess p;
  p.start(QStringLiteral(TRELVANO_DUMP), args);
  EXPECT_TRUE(p.waitForFinished(120000));
  ScoreRun r;
  r.exitCode = p.exitCode();
  for (const QByteArray& line : p.readAllStandardOutput().split('\n'))
    if (!line.isEmpty()) r.lines.push_back(QJsonDocument::fromJson(line).object());
  return r;
}

}  // namespace

TEST(DumpScore, OneLineAFileWithTheBestAndEveryType) {
  const QString triangle = dataPath("igc/crlf-southern-midnight-newzealand.igc");
  const QString free = dataPath("igc/crlf-zero-pressure-xctrack.igc");
  const QString missing = dataPath("igc/fehlt.igc");
  const ScoreRun r = dumpScore({QStringLiteral("--score"), QStringLiteral("xcontest"), triangle, missing, free});
  EXPECT_NE(r.exitCode, 0);  // the missing file
  ASSERT_EQ(r.lines.size(), 3u);
  const QJsonObject score = r.lines[0]["score"].toObject();
  EXPECT_EQ(score["league"].toString(), QStringLiteral("xcontest"));
  EXPECT_EQ(score["types"].toArray().size(), 5);
  const QJsonObject best = score["best"].toObject();
  EXPECT_EQ(best["type"].toString(), QStringLiteral("closedFaiTriangle"));
  // 205.47 km over the whole recording, 197.46 without the aerotow.
  EXPECT_NEAR(best["distance"].toDouble(), 197.46, 0.01);
  EXPECT_DOUBLE_EQ(best["multiplier"].toDouble(), 1.6);
  EXPECT_NEAR(best["points"].toDouble(), best["distance"].toDouble() * 1.6, 1e-9);
  const QJsonArray turnpoints = best["turnpoints"].toArray();
  ASSERT_EQ(turnpoints.size(), 5);
  for (const auto key : {"lat", "lon", "utc", "index"})
    EXPECT_TRUE(turnpoints[0].toObject()[QLatin1String(key)].isDouble()) << key;
  EXPECT_TRUE(best["closing"].isDouble());
  EXPECT_TRUE(score["types"].toArray()[0].toObject()["closing"].isNull());  // free distance
  EXPECT_EQ(r.lines[1]["files"].toArray()[0].toObject()["path"].toString(), missing);
  EXPECT_EQ(r.lines[2]["files"].toArray()[0].toObject()["path"].toString(), free);
  EXPECT_EQ(r.lines[2]["score"].toObject()["best"].toObject()["type"].toString(), QStringLiteral("free"));

  EXPECT_EQ(dumpScore({QStringLiteral("--score"), QStringLiteral("bogus"), triangle}).exitCode, 2);
}

}  // namespace dump_score_test
