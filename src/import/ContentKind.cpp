#include "import/ContentKind.h"

#include <QString>
#include <QStringDecoder>

#include <cstring>

namespace trelvano {

namespace {

bool startsWith(QByteArrayView head, const char* magic, size_t length) {
  return size_t(head.size()) >= length && std::memcmp(head.data(), magic, length) == 0;
}

bool isAlnum(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// "AXCS001 FLIGHT:1" and then the next record ("HFDTE…"): an A record is a
// letter A, a manufacturer of three letters or digits and the logger's id,
// all printable; a logger file's header ("ADC16;AD0;…") has semicolons and
// digits on its next line.
bool startsWithARecord(QByteArrayView head) {
  if (startsWith(head, "\xEF\xBB\xBF", 3)) head = head.sliced(3);
  if (head.size() < 4 || head[0] != 'A' || !isAlnum(head[1]) || !isAlnum(head[2]) || !isAlnum(head[3])) return false;
  qsizetype i = 4;
  for (; i < head.size() && head[i] != '\r' && head[i] != '\n'; ++i)
    if (head[i] < 0x20 || head[i] > 0x7E || head[i] == ';' || head[i] == ',') return false;
  while (i < head.size() && (head[i] == '\r' || head[i] == '\n')) ++i;
  return i < head.size() && head[i] >= 'A' && head[i] <= 'Z';
}

// The text of the head in whatever encoding its byte order mark or first
// character says (UTF-16 and UTF-32 included); else byte by byte, which
// keeps every ASCII name as it is.
QString headText(QByteArrayView head) {
  if (const std::optional<QStringConverter::Encoding> e = QStringConverter::encodingForData(head, u'<')) {
    QStringDecoder decode(*e);
    return decode(head);
  }
  return QString::fromLatin1(head);
}

// Whether the first element of the XML in `text` is gpx, with or without a
// namespace prefix; the declaration, comments, processing instructions and
// a document type before it are passed over.
bool rootIsGpx(const QString& text) {
  qsizetype i = 0;
  const auto skipSpace = [&] {
    while (i < text.size() && text[i].isSpace()) ++i;
  };
  const auto skipPast = [&](const QString& end) {
    const qsizetype at = text.indexOf(end, i);
    i = at < 0 ? text.size() : at + end.size();
  };
  if (i < text.size() && text[i] == QChar(0xFEFF)) ++i;
  for (;;) {
    skipSpace();
    if (i >= text.size() || text[i] != u'<') return false;
    if (text.mid(i, 2) == QLatin1String("<?")) {
      skipPast(QStringLiteral("?>"));
    } else if (text.mid(i, 4) == QLatin1String("<!--")) {
      skipPast(QStringLiteral("-->"));
    } else if (text.mid(i, 2) == QLatin1String("<!")) {
      // A document type, perhaps with an internal subset in brackets.
      const qsizetype close = text.indexOf(u'>', i), open = text.indexOf(u'[', i);
      if (open >= 0 && (close < 0 || open < close)) {
        i = open;
        skipPast(QStringLiteral("]"));
      }
      skipPast(QStringLiteral(">"));
    } else {
      qsizetype end = ++i;
      while (end < text.size() && !text[end].isSpace() && text[end] != u'>' && text[end] != u'/') ++end;
      const QStringView name = QStringView(text).mid(i, end - i);
      const qsizetype colon = name.lastIndexOf(u':');
      return name.mid(colon + 1) == QLatin1String("gpx") && end < text.size();
    }
  }
}

}  // namespace

ContentKind contentKindOf(QByteArrayView head) {
  head = head.first(std::min<qsizetype>(head.size(), kContentHeadBytes));
  if (startsWith(head, "II*\0", 4) || startsWith(head, "MM\0*", 4) || startsWith(head, "II+\0", 4) ||
      startsWith(head, "MM\0+", 4))
    return ContentKind::Tiff;
  if (startsWith(head, "\x89PNG\r\n\x1A\n", 8)) return ContentKind::Png;
  if (startsWith(head, "\xFF\xD8\xFF", 3)) return ContentKind::Jpeg;
  if (startsWith(head, "PK\3\4", 4) || startsWith(head, "PK\5\6", 4)) return ContentKind::Zip;
  if (startsWith(head, "SQLite format 3\0", 16)) return ContentKind::Sqlite;
  if (startsWithARecord(head)) return ContentKind::Igc;
  if (rootIsGpx(headText(head))) return ContentKind::Gpx;
  return ContentKind::Unknown;
}

}  // namespace trelvano
