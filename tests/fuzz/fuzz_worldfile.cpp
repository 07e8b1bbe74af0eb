// "Georeferenzierte Karte laden…" on a picture with a world file and a .prj
// beside it. The input holds the three files one after the other, each
// following the line "--8<--" (a missing part leaves its file out); a
// picture that starts as a JPEG is named .jpg with a .jgw, any other .png
// with a .pgw.
#include "GroundHarness.h"

using namespace trelvano;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  GroundWorld& w = groundWorld();
  const QByteArrayView input(reinterpret_cast<const char*>(bytes), qsizetype(size));
  const QByteArrayView cut("\n--8<--\n");
  QByteArrayView parts[3];
  int n = 0;
  for (qsizetype from = 0; n < 3;) {
    const qsizetype at = n < 2 ? input.indexOf(cut, from) : -1;
    parts[n++] = input.sliced(from, (at < 0 ? input.size() : at) - from);
    if (at < 0) break;
    from = at + cut.size();
  }
  const bool jpeg = parts[0].startsWith("\xFF\xD8");
  const QString picture = w.write(jpeg ? QStringLiteral("karte.jpg") : QStringLiteral("karte.png"), parts[0]);
  if (n > 1) w.write(jpeg ? QStringLiteral("karte.jgw") : QStringLiteral("karte.pgw"), parts[1]);
  if (n > 2) w.write(QStringLiteral("karte.prj"), parts[2]);
  expectGroundLoadedOrUnchanged(QByteArrayView(reinterpret_cast<const char*>(bytes), qsizetype(size)),
                                [&](MainController& c) { c.openGeoMap(picture); });
  return 0;
}
