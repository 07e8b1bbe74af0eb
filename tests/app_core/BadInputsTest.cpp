// Replays tests/bad-inputs/ (made by tools/make_bad_inputs.py): every file
// goes through the menu command a user would choose, on a program that has a
// flight, a parameter table and both maps loaded. A file either loads or shows its error
// and leaves the flight, the tables and the window's texts as they were.
#include "app/core/MainController.h"
#include "common/ScriptedDialogs.h"
#include "common/StateSnapshot.h"
#include "common/TestPaths.h"
#include "model/RunError.h"
#include "import/ParameterFile.h"

#include <QFile>
#include <QStringList>
#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace bad_inputs_test {

using namespace trelvano;

namespace {

struct Row {
  QString file, reader, expected;
};

std::vector<Row> readExpected() {
  std::vector<Row> rows;
  for (const QString& line : QString::fromUtf8(readBytes(sourcePath(QStringLiteral("tests/bad-inputs/expected.tsv"))))
                                 .split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
    if (line.startsWith(QLatin1Char('#'))) continue;
    const QStringList f = line.split(QLatin1Char('\t'));
    if (f.size() == 3)
      rows.push_back({f[0], f[1], f[2]});
    else
      ADD_FAILURE() << "bad row: " << line.toStdString();
  }
  return rows;
}

struct Program {
  ScriptedDialogs dialogs;
  MainController core{dialogs};

  void loadGoodState() {
    ASSERT_TRUE(Ladeparameter(core.data.ChannelParams, sourcePath(QStringLiteral("examples/default.par"))));
    ASSERT_EQ(core.openLoggerFile(sourcePath(QStringLiteral("examples/ng-flug.csv"))), LoadStatus::Loaded);
    ASSERT_EQ(core.openPixelMap(sourcePath(QStringLiteral("examples/karte.bmp"))), LoadStatus::Loaded);
    ASSERT_EQ(core.openVectorMap(sourcePath(QStringLiteral("examples/karte.map"))), LoadStatus::Loaded);
  }
  // The menu command of each reader, answered with `path`.
  void open(const QString& reader, const QString& path) {
    const std::map<QString, std::function<void()>> commands = {
        {QStringLiteral("igc"), [this] { core.openIgcFile(); }},
        {QStringLiteral("gpx"), [this] { core.openGpxFile(); }},
        {QStringLiteral("logger"), [this] { core.openLoggerFile(); }},
        {QStringLiteral("par"), [this] { core.loadParameters(); }},
        {QStringLiteral("pixelmap"), [this] { core.openPixelMap(); }},
        {QStringLiteral("vectormap"), [this] { core.openVectorMap(); }},
        {QStringLiteral("terrain"), [this] { core.openTerrain(); }},
        {QStringLiteral("geomap"), [this] { core.openGeoMap(); }},
    };
    const auto command = commands.find(reader);
    ASSERT_NE(command, commands.end()) << "unknown reader " << reader.toStdString();
    dialogs.answers = {path};
    command->second();
  }
};

// What the main window shows besides the tables.
QStringList windowTexts(const MainController& c) {
  const Layers& l = c.view.layers;
  QStringList t{c.state.statusText, c.state.hLabel, QString::number(c.state.grafikVisible)};
  for (bool shown : {l.Karte, l.KarteVisible, l.VectorKarte, l.VectorKarteVisible}) t << QString::number(shown);
  for (const QString& s : c.panels.info) t << s;
  return t;
}

TEST(BadInputs, EachLoadsOrKeepsTheEarlierState) {
  const std::vector<Row> rows = readExpected();
  ASSERT_GE(rows.size(), 20u);
  Program p;
  p.loadGoodState();

  for (const Row& row : rows) {
    SCOPED_TRACE(row.file.toStdString());
    const QString path = sourcePath(QStringLiteral("tests/bad-inputs/") + row.file);
    const QByteArray bytes = readBytes(path);
    const int reach = StateSnapshot::reachOf(bytes.constData(), size_t(bytes.size()), p.core.data);
    const StateSnapshot before(p.core.data, reach, std::min(reach, kSampleRows));
    const QStringList textsBefore = windowTexts(p.core);
    QString error;
    try {
      p.open(row.reader, path);
    } catch (const RunError& e) {
      error = e.text();
    }
    if (row.expected == QLatin1String("loads")) {
      EXPECT_EQ(error, QString());
      p.loadGoodState();
      continue;
    }
    if (error.isEmpty()) {
      ADD_FAILURE() << "loaded, expected " << row.expected.toStdString();
      p.loadGoodState();
      continue;
    }
    if (row.expected != QLatin1String("-")) {
      EXPECT_EQ(error, row.expected);
    }
    EXPECT_EQ(before.differenceTo(p.core.data), "");
    EXPECT_EQ(windowTexts(p.core), textsBefore);
  }
}

}  // namespace

}  // namespace bad_inputs_test
