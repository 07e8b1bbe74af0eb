// What the first bytes of a file say it is; near misses say nothing.
#include "import/ContentKind.h"

#include <QByteArray>
#include <QStringEncoder>
#include <gtest/gtest.h>

namespace content_kind_test {

using namespace trelvano;

namespace {

QByteArray utf16(const char* text, QStringConverter::Encoding e) {
  QStringEncoder encode(e, QStringEncoder::Flag::WriteBom);
  return encode(QString::fromUtf8(text));
}

TEST(ContentKind, FirstBytes) {
  const struct {
    QByteArray head;
    ContentKind kind;
  } rows[] = {
      {QByteArray("II*\0\x08\0\0\0", 8), ContentKind::Tiff},
      {QByteArray("MM\0*\0\0\0\x08", 8), ContentKind::Tiff},
      {QByteArray("II+\0\x08\0\0\0", 8), ContentKind::Tiff},  // BigTIFF
      {QByteArray("\x89PNG\r\n\x1A\n\0\0", 10), ContentKind::Png},
      {QByteArray("\xFF\xD8\xFF\xE0", 4), ContentKind::Jpeg},
      {QByteArray("PK\3\4\x14\0", 6), ContentKind::Zip},
      {QByteArray("PK\5\6", 4), ContentKind::Zip},  // an empty archive
      {QByteArray("SQLite format 3\0\x10\0", 18), ContentKind::Sqlite},
      {"AXCS001 FLIGHT:1\r\nHFDTE010124\r\n", ContentKind::Igc},
      {"AFLAB29\r\r\nHFDTE160808\r\n", ContentKind::Igc},
      {"\xEF\xBB\xBF"
       "AXSR\nB1101",
       ContentKind::Igc},
      {"<?xml version=\"1.0\"?>\n<!-- a route -->\n<gpx version=\"1.0\">", ContentKind::Gpx},
      {"<?xml version=\"1.0\"?><!DOCTYPE gpx [<!ENTITY a \"<b>\">]><g:gpx xmlns:g=\"x\">", ContentKind::Gpx},
      {"\n  <gpx>", ContentKind::Gpx},
      {utf16("<?xml version=\"1.0\" encoding=\"UTF-16\"?><gpx>", QStringConverter::Utf16LE), ContentKind::Gpx},
      {utf16("<gpx>", QStringConverter::Utf16BE), ContentKind::Gpx},
      // Near misses: the name decides.
      {"", ContentKind::Unknown},
      {QByteArray("II*", 3), ContentKind::Unknown},
      {QByteArray("PK\1\2", 4), ContentKind::Unknown},
      {"ADC16;AD0;AD1;AD2\n14349;0;0\n", ContentKind::Unknown},  // a logger file's header
      {"AXCS001\r\n14349;0\r\n", ContentKind::Unknown},
      {"AX\nHFDTE\n", ContentKind::Unknown},
      {"AXCS001", ContentKind::Unknown},               // no record after it
      {"HFDTE010124\r\nB1101", ContentKind::Unknown},  // IGC without an A record
      {"<?xml version=\"1.0\"?><kml>", ContentKind::Unknown},
      {"<?xml version=\"1.0\"?><gpxfoo>", ContentKind::Unknown},
      {"<?xml version=\"1.0\"?><gp", ContentKind::Unknown},
      {"Breite;Laenge\n<gpx>", ContentKind::Unknown},
  };
  for (const auto& r : rows) EXPECT_EQ(contentKindOf(r.head), r.kind) << r.head.toStdString();
}

}  // namespace

}  // namespace content_kind_test
