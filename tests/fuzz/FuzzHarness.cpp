#include "FuzzHarness.h"

#include "import/ChannelConversion.h"
#include "import/FileBytes.h"
#include "import/IgcReader.h"
#include "import/LoggerReader.h"
#include "import/ShowFlight.h"
#include "import/ParameterFile.h"

#include <QGuiApplication>
#include <algorithm>

namespace trelvano {

namespace {

QByteArray example(const char* name) {
  QByteArray bytes;
  if (!readWholeFile(QStringLiteral(TRELVANO_SOURCE_DIR "/examples/") + QLatin1String(name), bytes)) {
    std::fprintf(stderr, "fuzz: cannot read examples/%s\n", name);
    std::abort();
  }
  return bytes;
}

}  // namespace

FuzzWorld::FuzzWorld() { loadGoodState(); }

void FuzzWorld::loadGoodState() {
  static const QByteArray par = example("default.par");
  static const QByteArray logger = example("ng-flug.csv");
  static const QByteArray igc = example("rundflug.igc");
  Parameterinit(data.ChannelParams);
  readParameterBytes(data.ChannelParams, par);
  // A new-format flight first, so the sample tables hold samples, then an
  // IGC flight over it: both kinds of tables are in use.
  showFlight(data, readLogger(logger, QStringLiteral("ng-flug.csv")));
  showFlight(data, readIgc(igc, QStringLiteral("rundflug.igc")));
}

// Qt's picture readers warn about every broken file; the fuzzer's output is for findings.
static void quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

FuzzWorld& fuzzWorld() {
  static const bool silenced = (qInstallMessageHandler(quiet), true);
  (void)silenced;
  static int argc = 1;
  static char name[] = "fuzz";
  static char* argv[] = {name, nullptr};
  // The terrain and map targets run the window's commands, which draw text.
  static const bool offscreen =
      qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qputenv("QT_QPA_PLATFORM", "offscreen");
  (void)offscreen;
  static QGuiApplication app(argc, argv);
  static FuzzWorld world;
  return world;
}

void expectLoadedOrUnchanged(const uint8_t* bytes, size_t size, const std::function<void(QByteArrayView)>& load) {
  FuzzWorld& w = fuzzWorld();
  const int reach = StateSnapshot::reachOf(reinterpret_cast<const char*>(bytes), size, w.data);
  const StateSnapshot before(w.data, reach, std::min(reach, kSampleRows));
  try {
    load(QByteArrayView(reinterpret_cast<const char*>(bytes), qsizetype(size)));
  } catch (const RunError& e) {
    if (e.text().isEmpty()) {
      std::fprintf(stderr, "fuzz: an error without a message\n");
      std::abort();
    }
    const std::string changed = before.differenceTo(w.data);
    if (!changed.empty()) {
      std::fprintf(stderr, "fuzz: failed load (%s) changed %s\n", e.what(), changed.c_str());
      std::abort();
    }
    return;
  }
  w.loadGoodState();
}

}  // namespace trelvano
