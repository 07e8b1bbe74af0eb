#include "DumpScore.h"

#include "analysis/score/ScoreFlight.h"
#include "app/core/FreeFlightFixes.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <cmath>
#include <cstdio>
#include <memory>

namespace trelvano {

std::optional<FlightScore> scoreForDump(const FlightData& d, const DumpOptions& options) {
  const League* league = findLeague(options.score);
  if (!league || !d.HasFlight) return std::nullopt;
  return scoreStretches(freeFlightFixes(d), *league);
}

namespace {

void writeType(JsonWriter& json, const TypeScore& t) {
  json.beginObject();
  json.field("type", QString::fromUtf8(t.rule->key));
  json.field("distance", t.distanceKm);
  json.field("multiplier", t.rule->multiplier);
  json.field("points", t.points);
  json.key("turnpoints");
  json.beginArray();
  for (const RoutePoint& p : t.route) {
    json.beginObject();
    json.field("lat", p.lat);
    json.field("lon", p.lon);
    json.field("utc", p.utc);  // NaN is written as null
    json.field("index", p.index);
    json.endObject();
  }
  json.endArray();
  json.key("closing");
  t.closingKm ? json.value(*t.closingKm) : json.null();
  json.endObject();
}

}  // namespace

void writeScore(JsonWriter& json, const DumpOptions& options, const std::optional<FlightScore>& score) {
  if (options.score.isEmpty()) return;
  json.key("score");
  if (!score) {
    json.null();
    return;
  }
  json.beginObject();
  json.field("league", QString::fromUtf8(score->league->key));
  json.key("best");
  score->best >= 0 ? writeType(json, score->types[score->best]) : json.null();
  json.key("types");
  json.beginArray();
  for (const TypeScore& t : score->types) writeType(json, t);
  json.endArray();
  json.endObject();
}

bool scoresEachFile(const DumpOptions& options) { return !options.score.isEmpty() && options.files.size() > 1; }

int dumpEachFileScored(const DumpOptions& options, const QStringList& arguments) {
  // Each file goes to a dump of its own in a process of its own, so that the
  // scoring of one runs beside another's on the other core.
  QStringList common = arguments;
  for (auto k = options.fileArguments.rbegin(); k != options.fileArguments.rend(); ++k) common.removeAt(*k);
  QTemporaryDir scratch;
  if (!scratch.isValid()) {
    std::fprintf(stderr, "trelvano-dump: %s\n", scratch.errorString().toLocal8Bit().constData());
    return 1;
  }
  const int files = static_cast<int>(options.files.size());
  const int parallel = std::max(1, QThread::idealThreadCount());
  std::vector<std::unique_ptr<QProcess>> jobs(files);
  auto output = [&](int k) { return scratch.filePath(QString::number(k) + QStringLiteral(".json")); };
  int started = 0, written = 0, status = 0;
  while (written < files) {
    int running = 0;
    for (int k = written; k < started; ++k) running += jobs[k]->state() != QProcess::NotRunning;
    for (; running < parallel && started < files; ++started, ++running) {
      auto& job = jobs[started];
      job = std::make_unique<QProcess>();
      job->setProcessChannelMode(QProcess::ForwardedErrorChannel);
      job->setStandardOutputFile(output(started));
      job->start(QCoreApplication::applicationFilePath(), QStringList(common) << options.files[started]);
    }
    // The first file not yet written decides what comes next; the others
    // run on meanwhile.
    QProcess& first = *jobs[written];
    if (!first.waitForFinished(20) && first.state() != QProcess::NotRunning) {
      for (int k = written + 1; k < started; ++k) jobs[k]->waitForFinished(0);
      continue;
    }
    QFile line(output(written));
    const QByteArray json = line.open(QIODevice::ReadOnly) ? line.readAll() : QByteArray();
    if (first.exitStatus() != QProcess::NormalExit || first.error() == QProcess::FailedToStart) {
      std::fprintf(stderr, "trelvano-dump: %s: %s\n", options.files[written].toLocal8Bit().constData(),
                   first.errorString().toLocal8Bit().constData());
      status = 1;
    } else if (first.exitCode() != 0) {
      status = std::max(status, first.exitCode());
    }
    if (!json.isEmpty() && std::fwrite(json.constData(), 1, json.size(), stdout) != size_t(json.size())) status = 1;
    jobs[written].reset();
    QFile::remove(output(written));
    ++written;
  }
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) status = 1;
  return status;
}

}  // namespace trelvano
