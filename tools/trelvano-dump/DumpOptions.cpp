#include "DumpOptions.h"

#include "view3d/Layers.h"

#include <array>

const char* const kDumpUsage =
    "usage: trelvano-dump [--par FILE] [--temperature T] [--baro] [--origin N] [--overlay MODE]\n"
    "                     [--locale NAME] [--render FILE.png] [--size WxH]\n"
    "                     [--camera X,Y,Z,A,E,D] [--layers LIST] [--save-par FILE]\n"
    "                     [--pixelmap FILE [--slow]] [--vectormap FILE] FILE...\n";

bool parseDumpOptions(const QStringList& args, DumpOptions& o, QString& error) {
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
      ok = ok && *o.overlay >= 0 && *o.overlay <= 6;
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
    } else if (a == QLatin1String("--slow")) {
      o.slowMap = true;
    } else if (a.startsWith(QLatin1String("--"))) {
      error = QStringLiteral("unknown option ") + a;
      return false;
    } else {
      o.files << a;
    }
    if (!ok) {
      error = QStringLiteral("bad value for ") + a + QStringLiteral(": ") + v;
      return false;
    }
  }
  if (o.files.isEmpty() && o.maps.empty() && o.saveParFile.isEmpty()) {
    error = QStringLiteral("no file given");
    return false;
  }
  return true;
}
