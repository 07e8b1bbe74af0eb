// trelvano-dump: runs the program's own core on files, without a window, and
// prints the resulting state as one JSON object.
//
//   trelvano-dump [--par FILE] [--temperature T] [--baro] [--origin N]
//                 [--overlay MODE] [--locale NAME]
//                 [--render FILE.png] [--size WxH] [--camera X,Y,Z,A,E,D]
//                 [--layers LIST] [--save-par FILE]
//                 [--export-kml FILE] [--export-gpx FILE] [--export-csv FILE] [--analysis]
//                 [--pixelmap FILE [--slow]] [--vectormap FILE]
//                 [--chart FILE.png [--chart-size WxH] [--curves LIST]
//                  [--scale einheitlich|individuell] [--wind R,S|geschätzt] [--range A,B] [--zoom]] FILE...
//
// Exit status: 0 when every file (the parameter file included) loaded, 1 when
// one failed, 2 on a usage error.

#include "DumpChart.h"
#include "DumpOptions.h"
#include "DumpState.h"
#include "Json.h"

#include "app/core/MainController.h"
#include "import/ParameterFile.h"
#include "model/RunError.h"

#include <QGuiApplication>
#include <QLocale>

#include <cstdio>
#include <memory>

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

  DumpOptions options;
  QString usageError;
  if (!parseDumpOptions(app.arguments().mid(1), options, usageError)) {
    std::fprintf(stderr, "trelvano-dump: %s\n%s", usageError.toLocal8Bit().constData(), kDumpUsage);
    return 2;
  }
  if (!options.locale.isEmpty()) QLocale::setDefault(QLocale(options.locale));

  DumpDialogs dialogs(options.saveParFile);
  MainController program(dialogs);
  std::vector<FileOutcome> outcomes;
  bool allLoaded = true;
  try {
    applyStartOptions(program, options, outcomes);
    for (const QString& path : options.files) outcomes.push_back(loadForDump(program, path));
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
    chart = std::make_unique<ChartView>(program.data, program.chart, options.chartSize.width(),
                                        options.chartSize.height());
    try {
      drawChart(*chart, program, options);
    } catch (const RunError& e) {
      std::fprintf(stderr, "trelvano-dump: chart: %s\n", e.boxText().toLocal8Bit().constData());
      allLoaded = false;
    }
  }

  JsonWriter json(stdout);
  writeDump(json, program, options, outcomes, chart.get());
  json.flush();
  std::fputc('\n', stdout);

  if (!options.renderPath.isEmpty() && !program.view.BackBuffer.save(options.renderPath, "PNG")) {
    std::fprintf(stderr, "trelvano-dump: cannot write %s\n", options.renderPath.toLocal8Bit().constData());
    return 1;
  }
  if (chart && !chart->image.save(options.chartPath, "PNG")) {
    std::fprintf(stderr, "trelvano-dump: cannot write %s\n", options.chartPath.toLocal8Bit().constData());
    return 1;
  }
  for (const FileOutcome& outcome : outcomes) allLoaded = allLoaded && outcome.status == QLatin1String("ok");
  return allLoaded ? 0 : 1;
}
