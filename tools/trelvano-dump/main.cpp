// trelvano-dump: runs the program's own core on files, without a window, and
// prints the resulting state as one JSON object.
//
//   trelvano-dump [--par FILE] [--temperature T] [--baro] [--origin N]
//                 [--overlay MODE] [--locale NAME]
//                 [--render FILE.png] [--size WxH] [--camera X,Y,Z,A,E,D]
//                 [--layers LIST] [--exaggeration 1|2|3|5] [--save-par FILE]
//                 [--export-kml FILE] [--export-gpx FILE] [--export-csv FILE] [--analysis]
//                 [--score xcontest|ffvl|fai|olc]
//                 [--pixelmap FILE [--slow]] [--vectormap FILE]
//                 [--dem FILE|FOLDER]... [--map FILE]
//                 [--add FILE]... [--sync uhrzeit|start] [--offset N,SECONDS]...
//                 [--active N] [--time YYYY-MM-DDTHH:MM:SSZ|SECONDS]
//                 [--chart FILE.png [--chart-size WxH] [--curves LIST]
//                  [--scale einheitlich|individuell] [--wind R,S|geschätzt] [--range A,B] [--zoom]] FILE...
//
// Exit status: 0 when every file (the parameter file included) loaded, 1 when
// one failed, 2 on a usage error.

#include "DumpChart.h"
#include "DumpFlights.h"
#include "DumpOptions.h"
#include "DumpScore.h"
#include "DumpState.h"
#include "Json.h"

#include "app/core/MainController.h"
#include "import/ParameterFile.h"
#include "model/RunError.h"

#include <QGuiApplication>
#include <QLocale>

#include <cstdio>
#include <memory>

using namespace trelvano;

namespace {

// Cancels the open dialogs; the save dialog gets the --save-par file.
class DumpDialogs : public CancelAllDialogs {
 public:
  explicit DumpDialogs(QString savePath) : savePath_(std::move(savePath)) {}
  QString saveFile(const QString&, const QString&, const QString&) override { return savePath_; }

 private:
  QString savePath_;
};

// A command-line tool prints its own messages only: Qt's notes and warnings
// (a missing XDG_RUNTIME_DIR, fonts, platform plugins) are dropped; its
// critical errors still reach stderr.
void onlyQtErrors(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

}  // namespace

int main(int argc, char** argv) {
  qInstallMessageHandler(onlyQtErrors);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);

  const QStringList arguments = app.arguments().mid(1);
  if (arguments.contains(QLatin1String("--help")) || arguments.contains(QLatin1String("-h"))) {
    std::fputs(kDumpUsage, stdout);
    return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
  }
  DumpOptions options;
  QString usageError;
  if (!parseDumpOptions(arguments, options, usageError)) {
    std::fprintf(stderr, "trelvano-dump: %s\n%s", usageError.toLocal8Bit().constData(), kDumpUsage);
    return 2;
  }
  if (!options.locale.isEmpty()) QLocale::setDefault(QLocale(options.locale));
  if (scoresEachFile(options)) return dumpEachFileScored(options, arguments);

  DumpDialogs dialogs(options.saveParFile);
  MainController program(dialogs);
  std::vector<FileOutcome> outcomes;
  bool allLoaded = true;
  try {
    applyStartOptions(program, options, outcomes);
    applyTerrainFolder(program, options);
    for (const QString& path : options.files) outcomes.push_back(loadForDump(program, path));
    for (const QString& path : options.addFiles) outcomes.push_back(addForDump(program, path));
    applyFlightOptions(program, options);
    loadGroundForDump(program, options, outcomes);
    for (const DumpOptions::MapFile& map : options.maps) outcomes.push_back(loadMapForDump(program, map));
    if (!options.saveParFile.isEmpty()) outcomes.push_back(saveParForDump(program, options.saveParFile));
    exportsForDump(program, options, outcomes);
    applyFinalOptions(program, options);
  } catch (const RunError& e) {
    std::fprintf(stderr, "trelvano-dump: %s\n", e.boxText().toLocal8Bit().constData());
    allLoaded = false;
  }
  std::unique_ptr<ChartView> chart;
  if (!options.chartPath.isEmpty()) {
    chart =
        std::make_unique<ChartView>(program.data, program.chart, options.chartSize.width(), options.chartSize.height());
    try {
      drawChart(*chart, program, options);
    } catch (const RunError& e) {
      std::fprintf(stderr, "trelvano-dump: chart: %s\n", e.boxText().toLocal8Bit().constData());
      allLoaded = false;
    }
  }

  // The pictures before the JSON, so that it tells how their writes ended.
  if (!options.renderPath.isEmpty())
    outcomes.push_back(savePictureForDump(program.view.BackBuffer, options.renderPath));
  if (chart) outcomes.push_back(savePictureForDump(chart->image, options.chartPath));

  const std::optional<FlightScore> score = scoreForDump(program.data, options);

  JsonWriter json(stdout);
  writeDump(json, program, options, outcomes, chart.get(), score);
  json.put('\n');
  if (!json.finish()) {
    // The JSON is the dump's result: one that did not reach its reader is a failure.
    std::fprintf(stderr, "trelvano-dump: %s\n",
                 RunError::ioWrite(101, json.error(), QStringLiteral("stdout")).boxText().toLocal8Bit().constData());
    return 1;
  }
  for (const FileOutcome& outcome : outcomes) allLoaded = allLoaded && outcome.status == QLatin1String("ok");
  return allLoaded ? 0 : 1;
}
