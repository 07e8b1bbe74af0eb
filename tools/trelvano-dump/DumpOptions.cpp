#include "DumpOptions.h"

#include "analysis/score/LeagueRules.h"
#include "app/core/Exaggeration.h"
#include "overlay/SidePanels.h"
#include "view3d/Layers.h"

#include <QDateTime>

#include <array>

namespace trelvano {

namespace {

const char* const kGpsCurveNames[5] = {"Höhe", "Groundspeed", "3D-Speed", "Air-Speed", "Höhe über Grund"};

// "W,H"-style lists of `count` integers.
bool parseInts(const QString& text, QChar separator, int count, int* out) {
  const QStringList parts = text.split(separator);
  bool ok = parts.size() == count;
  for (int k = 0; ok && k < count; ++k) out[k] = parts[k].toInt(&ok);
  return ok;
}

bool parseCurves(const QString& list, DumpOptions& o, QString& error) {
  for (const QString& name : list.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
    bool known = false;
    for (int k = 0; k < 5; ++k)
      if (name == QString::fromUtf8(kGpsCurveNames[k])) known = o.gpsCurves[k] = true;
    bool number = false;
    const int channel = name.toInt(&number);
    if (number && channel >= 0 && channel < 13) known = o.channelCurves[channel] = true;
    if (!known) {
      error = QStringLiteral("unknown curve ") + name;
      return false;
    }
  }
  return true;
}

}  // namespace

const char* const kDumpUsage =
    "usage: trelvano-dump [--par FILE] [--temperature T] [--baro] [--origin N] [--overlay MODE]\n"
    "                     [--locale NAME] [--render FILE.png] [--size WxH]\n"
    "                     [--camera X,Y,Z,A,E,D] [--layers LIST] [--exaggeration 1|2|3|5]\n"
    "                     [--save-par FILE]\n"
    "                     [--export-kml FILE] [--export-gpx FILE] [--export-csv FILE] [--analysis]\n"
    "                     [--score xcontest|ffvl|fai|olc]\n"
    "                     [--pixelmap FILE [--slow]] [--vectormap FILE]\n"
    "                     [--dem FILE|FOLDER]... [--map FILE]\n"
    "                     [--add FILE]... [--sync uhrzeit|start] [--offset N,SECONDS]...\n"
    "                     [--active N] [--time YYYY-MM-DDTHH:MM:SSZ|SECONDS]\n"
    "                     [--chart FILE.png [--chart-size WxH] [--curves LIST]\n"
    "                      [--scale einheitlich|individuell] [--wind R,S|geschätzt] [--range A,B] [--zoom]] FILE...\n";

bool parseDumpOptions(const QStringList& args, DumpOptions& o, QString& error) {
  QString chartOption;  // the first chart option seen, which needs --chart
  for (int i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    auto next = [&](QString& out) {
      if (i + 1 >= args.size()) {
        error = a + QStringLiteral(" needs a value");
        return false;
      }
      out = args[++i];
      return true;
    };
    QString v;
    bool ok = true;
    if (a == QLatin1String("--par")) {
      if (!next(o.parFile)) return false;
    } else if (a == QLatin1String("--save-par")) {
      if (!next(o.saveParFile)) return false;
    } else if (a == QLatin1String("--export-kml")) {
      if (!next(o.exportKml)) return false;
    } else if (a == QLatin1String("--export-gpx")) {
      if (!next(o.exportGpx)) return false;
    } else if (a == QLatin1String("--export-csv")) {
      if (!next(o.exportCsv)) return false;
    } else if (a == QLatin1String("--temperature")) {
      if (!next(v)) return false;
      o.temperature = v.toDouble(&ok);
    } else if (a == QLatin1String("--baro")) {
      o.baro = true;
    } else if (a == QLatin1String("--origin")) {
      if (!next(v)) return false;
      o.origin = v.toInt(&ok);
    } else if (a == QLatin1String("--overlay")) {
      if (!next(v)) return false;
      o.overlay = v.toInt(&ok);
      ok = ok && *o.overlay >= 0 && *o.overlay <= kOverlayItemCount;
    } else if (a == QLatin1String("--locale")) {
      if (!next(o.locale)) return false;
    } else if (a == QLatin1String("--render")) {
      if (!next(o.renderPath)) return false;
    } else if (a == QLatin1String("--size")) {
      if (!next(v)) return false;
      const QStringList wh = v.split(QLatin1Char('x'));
      bool okW = false, okH = false;
      if (wh.size() == 2) o.size = QSize(wh[0].toInt(&okW), wh[1].toInt(&okH));
      ok = okW && okH && o.size.width() > 0 && o.size.height() > 0;
    } else if (a == QLatin1String("--exaggeration")) {
      if (!next(v)) return false;
      const double factor = v.toDouble(&ok);
      bool known = false;
      for (const trelvano::ExaggerationItem& item : trelvano::kExaggerationItems)
        known = known || item.factor == factor;
      ok = ok && known;
      if (ok) o.exaggeration = factor;
    } else if (a == QLatin1String("--camera")) {
      if (!next(v)) return false;
      const QStringList parts = v.split(QLatin1Char(','));
      ok = parts.size() == 6;
      std::array<double, 6> cam{};
      for (int k = 0; ok && k < 6; ++k) cam[k] = parts[k].toDouble(&ok);
      if (ok) o.camera = cam;
    } else if (a == QLatin1String("--layers")) {
      if (!next(v)) return false;
      o.layers = v.isEmpty() ? QStringList() : v.split(QLatin1Char(','));
      for (const QString& caption : *o.layers) {
        bool known = false;
        for (const LayerItem& item : kLayerItems) known = known || caption == QLatin1String(item.caption);
        if (!known) {
          error = QStringLiteral("unknown layer ") + caption;
          return false;
        }
      }
    } else if (a == QLatin1String("--pixelmap") || a == QLatin1String("--vectormap")) {
      if (!next(v)) return false;
      o.maps.push_back({a == QLatin1String("--vectormap"), v});
    } else if (a == QLatin1String("--dem")) {
      if (!next(v)) return false;
      o.dems << v;
    } else if (a == QLatin1String("--map")) {
      if (!next(o.geoMap)) return false;
    } else if (a == QLatin1String("--add")) {
      if (!next(v)) return false;
      o.addFiles << v;
    } else if (a == QLatin1String("--sync")) {
      if (!next(v)) return false;
      ok = v == QLatin1String("uhrzeit") || v == QLatin1String("start");
      o.sync = v == QLatin1String("start") ? 1 : 0;
    } else if (a == QLatin1String("--offset")) {
      if (!next(v)) return false;
      const QStringList parts = v.split(QLatin1Char(','));
      int n = -1;
      double seconds = 0;
      ok = parts.size() == 2;
      if (ok) n = parts[0].toInt(&ok);
      if (ok) seconds = parts[1].toDouble(&ok);
      ok = ok && n >= 0;
      o.offsets.emplace_back(n, seconds);
    } else if (a == QLatin1String("--active")) {
      if (!next(v)) return false;
      o.active = v.toInt(&ok);
      ok = ok && *o.active >= 0;
    } else if (a == QLatin1String("--time")) {
      if (!next(v)) return false;
      const QDateTime utc = QDateTime::fromString(v, Qt::ISODate);
      if (utc.isValid() && v.endsWith(QLatin1Char('Z')))
        o.time = double(utc.toSecsSinceEpoch());
      else
        o.time = v.toDouble(&ok);
    } else if (a == QLatin1String("--slow")) {
      o.slowMap = true;
    } else if (a == QLatin1String("--analysis")) {
      o.analysis = true;
    } else if (a == QLatin1String("--score")) {
      if (!next(v)) return false;
      o.score = v;
      ok = findLeague(v) != nullptr;
    } else if (a == QLatin1String("--chart")) {
      if (!next(o.chartPath)) return false;
    } else if (a == QLatin1String("--chart-size") || a == QLatin1String("--curves") || a == QLatin1String("--scale") ||
               a == QLatin1String("--wind") || a == QLatin1String("--range") || a == QLatin1String("--zoom")) {
      if (chartOption.isEmpty()) chartOption = a;
      if (a == QLatin1String("--zoom")) {
        o.zoom = true;
      } else if (!next(v)) {
        return false;
      } else if (a == QLatin1String("--chart-size")) {
        int wh[2] = {};
        ok = parseInts(v, QLatin1Char('x'), 2, wh) && wh[0] > 0 && wh[1] > 0;
        o.chartSize = QSize(wh[0], wh[1]);
      } else if (a == QLatin1String("--curves")) {
        if (!parseCurves(v, o, error)) return false;
      } else if (a == QLatin1String("--scale")) {
        ok = v == QLatin1String("einheitlich") || v == QLatin1String("individuell");
        o.scale = v == QLatin1String("individuell") ? 1 : 0;
      } else if (a == QLatin1String("--wind") && v == QStringLiteral("geschätzt")) {
        o.windEstimated = true;
      } else if (a == QLatin1String("--wind")) {
        int rs[2] = {};
        ok = parseInts(v, QLatin1Char(','), 2, rs) && rs[0] >= 0 && rs[0] <= 40 && rs[1] >= 0 && rs[1] <= 20;
        o.windDirection = rs[0];
        o.windSpeed = rs[1];
      } else {
        std::array<int, 2> ab{};
        ok = parseInts(v, QLatin1Char(','), 2, ab.data());
        o.range = ab;
      }
    } else if (a.startsWith(QLatin1String("--"))) {
      error = QStringLiteral("unknown option ") + a;
      return false;
    } else {
      o.fileArguments.push_back(i);
      o.files << a;
    }
    if (!ok) {
      error = QStringLiteral("bad value for ") + a + QStringLiteral(": ") + v;
      return false;
    }
  }
  if (!chartOption.isEmpty() && o.chartPath.isEmpty()) {
    error = chartOption + QStringLiteral(" needs --chart");
    return false;
  }
  if (!o.score.isEmpty() && o.files.size() > 1 &&
      !(o.renderPath + o.chartPath + o.saveParFile + o.exportKml + o.exportGpx + o.exportCsv).isEmpty()) {
    error = QStringLiteral("--score over several files writes no pictures, exports or parameter files");
    return false;
  }
  if (o.files.isEmpty() && o.maps.empty() && o.saveParFile.isEmpty() && o.dems.isEmpty() && o.geoMap.isEmpty()) {
    error = QStringLiteral("no file given");
    return false;
  }
  return true;
}

}  // namespace trelvano
