// The fast GPX path against the QXmlStreamReader one: on every file it reads,
// the same points, bit for bit (common/GpxPathAgreement.h); and it must read
// the plain files writers emit, or loads are slow again without a sign.
#include "common/GpxPathAgreement.h"
#include "common/TestPaths.h"
#include "import/GpxPoints.h"
#include "import/LoadStaging.h"

#include <QDir>
#include <gtest/gtest.h>

#include <cstdio>
#include <random>

using namespace trelvano;

namespace {

class GpxFastPath : public ::testing::Test {
 protected:
  LoadStagingPtr fast = makeLoadStaging(), xml = makeLoadStaging();

  // Checks agreement; returns whether the fast path read the file.
  bool agrees(const QByteArray& bytes) {
    bool fastRead = false;
    const std::string difference = gpxPathsDisagree(bytes, *fast, *xml, &fastRead);
    EXPECT_EQ(difference, "") << bytes.left(300).constData();
    return fastRead;
  }
};

QByteArray track(const QByteArray& points) { return "<gpx><trk><trkseg>" + points + "</trkseg></trk></gpx>"; }

TEST_F(GpxFastPath, FilesOfOtherProgramsAndBadInputs) {
  const QDir good(dataPath(QStringLiteral("gpx")));
  for (const QString& name : good.entryList({QStringLiteral("*.gpx")}, QDir::Files)) {
    SCOPED_TRACE(name.toStdString());
    EXPECT_TRUE(agrees(readBytes(good.filePath(name))));
  }
  for (const char* folder : {"tests/bad-inputs", "tests/fuzz/seeds/gpx"}) {
    const QDir dir(sourcePath(QLatin1String(folder)));
    const QStringList names = dir.entryList({QStringLiteral("*.gpx")}, QDir::Files);
    EXPECT_GE(names.size(), 5) << folder;
    for (const QString& name : names) {
      SCOPED_TRACE(name.toStdString());
      const bool read = agrees(readBytes(dir.filePath(name)));
      if (name.startsWith(QLatin1String("plain-"))) {
        EXPECT_TRUE(read);
      }
    }
  }
}

TEST_F(GpxFastPath, ReadsThePlainXmlWritersEmit) {
  const QByteArray point = "<trkpt lat='47.5' lon='11.25'><ele>612.4</ele><time>2023-06-01T10:00:00Z</time></trkpt>";
  const QByteArray rows[] = {
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<gpx version=\"1.1\" creator=\"x\" "
      "xmlns=\"http://www.topografix.com/GPX/1/1\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
      "xsi:schemaLocation=\"a b\">\n<trk><name>x</name><trkseg>\n" + point + "\n</trkseg></trk>\n</gpx>\n",
      "\xEF\xBB\xBF<?xml version='1.0' encoding='utf-8' standalone='yes' ?>\r\n" + track(point) + "\r\n",
      "<g:gpx xmlns:g='u'><g:trk><g:trkseg><g:trkpt lat='1' lon='2'><g:ele>3</g:ele></g:trkpt></g:trkseg></g:trk></g:gpx>",
      "<!-- c --><gpx><!-- a - b --><trk><trkseg>" + point + "<!----></trkseg></trk></gpx><!-- after -->",
      track("<trkpt lon=\"-11.768\" lat='-47.126' x:y='1' xmlns:x='v' xml:lang='de'><name>A &amp; B &lt;&gt;&apos;&quot;"
            "&#228;&#xE4; \xC3\xBC \xF0\x9F\x9B\xA9 ]] ></name></trkpt>"),
      track("<trkpt lat=' \t47.5\n' lon='\r\n-0'><ele>\n -0.0 \n</ele></trkpt>"),  // blanks, minus zero
      track("<trkpt lat='0047.500' lon='1.23456789012345678901'><ele>12345678901234.5</ele></trkpt>"),
      track("<trkpt lat='90' lon='-180'><ele/><time/></trkpt><trkpt lat='1' lon='1'><ele> </ele><time>noon</time>"
            "</trkpt>"),
      track("<trkpt lat='1' lon='1'><ele>5</ele><ele>6</ele><time>2023-06-01T12:00:00.250+02:00</time>"
            "<extensions><ele>9</ele><time>2020-01-01T00:00:00Z</time></extensions></trkpt>"),
      track("<trkpt lat='1' lon='1'><ele><!--c-->5</ele><time>2023-06-01T10:00:00-0130<!--c--></time></trkpt>"),
      "<gpx><rte><rtept lat='1' lon='1'/></rte><trk><trkseg>" + point + "</trkseg><x><trkseg>" + point +
          "</trkseg></x></trk><rte><rtept lat='4' lon='4'/></rte><trkpt lat='5' lon='5'/></gpx>",
      "<gpx><wpt lat='3' lon='3'/><rte><name>r</name><rtept lat='1' lon='1'><ele>7</ele></rtept>"
      "<rtept lat='2' lon='2'/></rte></gpx>",
  };
  for (const QByteArray& row : rows) EXPECT_TRUE(agrees(row)) << row.constData();
}

TEST_F(GpxFastPath, AgreesOnRareButWellFormedXml) {
  const QByteArray points = "<trk><trkseg><trkpt lat='1' lon='2'/></trkseg></trk>";
  const QByteArray rows[] = {
      "<gpx><xml:x/>" + points + "</gpx>", "<gpx><xmlns/><xmlfoo/>" + points + "</gpx>",
      "<gpx xmlns=''>" + points + "</gpx>", "<gpx x='a]]>b' y='>'>" + points + "</gpx>",
      "<gpx><a xmlns:p='u'><p:b xmlns:p='v'/><p:c/></a><p:d/>" + points + "</gpx>",
      "<gpx><name>\x7F \xC2\x85 \xEF\xBF\xBD \xF0\x9F\xBF\xBE \xF4\x8F\xBF\xBF &#x1FFFE; \xEF\xBB\xBF</name>" +
          points + "</gpx>",
      "<gpx\n\tversion\r\n=\n'1'\n>\n" + points + "</gpx\n>",
  };
  for (const QByteArray& row : rows) agrees(row);
}

// Random GPX files of the kind writers emit, with the odd number, time,
// blank, comment, entity and prefix: most of them for the fast path to read.
class RandomGpx {
 public:
  explicit RandomGpx(unsigned seed) : random_(seed) {}

  QByteArray document() {
    const bool prefixed = chance(4);
    const QByteArray g = prefixed ? "g:" : "";
    QByteArray text = pick({"", "<?xml version='1.0'?>\n", "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n",
                            "<!-- made by hand -->"});
    text += "<" + g + "gpx" + (prefixed ? " xmlns:g='urn:g'" : " xmlns='urn:gpx'") + ">" + blank();
    for (int n = upTo(4); n >= 0; --n) {
      if (chance(3)) {
        text += "<" + g + "rte>" + element(g, "rtept", upTo(3)) + "</" + g + "rte>" + blank();
      } else {
        text += "<" + g + "trk><" + g + "name>" + pick({"a &amp; b", "&#228;", "\xC3\xBC", "x"}) + "</" + g + "name>";
        for (int s = upTo(2); s >= 0; --s) text += "<" + g + "trkseg>" + element(g, "trkpt", upTo(4)) + "</" + g + "trkseg>";
        text += "</" + g + "trk>" + blank();
      }
    }
    return text + "</" + g + "gpx>" + blank();
  }

 private:
  std::mt19937 random_;

  int upTo(int n) { return int(random_() % unsigned(n + 1)); }
  bool chance(int oneIn) { return upTo(oneIn - 1) == 0; }
  QByteArray pick(std::initializer_list<const char*> texts) { return QByteArray(texts.begin()[upTo(int(texts.size()) - 1)]); }
  QByteArray blank() { return pick({"", "\n", "\r\n  ", " ", "<!-- - -->"}); }
  QByteArray digits(int count) {
    QByteArray text;
    for (int i = 0; i < count; ++i) text += char('0' + upTo(9));
    return text;
  }
  // Mostly below `limit` in size; now and then a form only the XML reader takes.
  QByteArray number(int limit) {
    QByteArray text = pick({"", "", "-"}) + (chance(20) ? "0" : "") + QByteArray::number(upTo(limit - 1));
    if (!chance(5)) text += "." + digits(1 + upTo(chance(4) ? 20 : 9));
    if (chance(300)) text += pick({"e2", "E-1", "."});
    return chance(10) ? " " + text + "\t" : text;
  }
  QByteArray two(int limit) { return QByteArray::number(upTo(limit)).rightJustified(2, '0'); }
  QByteArray time() {
    QByteArray text = "20" + two(30) + "-" + two(13) + "-" + two(31) + "T" + two(24) + ":" + two(59) + ":" + two(60);
    if (chance(3)) text += "." + digits(1 + upTo(6));
    return text + pick({"Z", "Z", "", "+02:00", "-0130", "+15:00", " "});
  }
  QByteArray element(const QByteArray& g, const char* name, int count) {
    QByteArray text;
    for (int i = 0; i < count; ++i) {
      text += "<" + g + name + " lat='" + number(90) + "' lon=\"" + number(180) + "\"";
      if (chance(6)) text += " " + g + "x='1'";
      if (chance(5)) {
        text += "/>";
        continue;
      }
      text += ">";
      if (!chance(4)) text += "<" + g + "ele>" + (chance(10) ? QByteArray() : number(5000)) + "</" + g + "ele>";
      if (chance(6)) text += "<" + g + "extensions><" + g + "ele>1</" + g + "ele></" + g + "extensions>";
      if (!chance(4)) text += "<" + g + "time>" + (chance(20) ? QByteArray("noon") : time()) + "</" + g + "time>";
      text += blank() + "</" + g + name + ">" + blank();
    }
    return text;
  }
};

TEST_F(GpxFastPath, RandomFilesOfWritersAgree) {
  RandomGpx random(20261207);
  int read = 0;
  constexpr int kFiles = 3000;
  for (int i = 0; i < kFiles; ++i) read += agrees(random.document());
  EXPECT_GT(read, kFiles / 2);  // the comparisons above must mostly have happened
}

// Long tracks have their later half read on a second core; whatever lies
// where it starts or in the later half, the points come out as read in order.
TEST_F(GpxFastPath, LongTracksReadOnTwoCores) {
  auto points = [](int from, int to) {  // all of one length, so where the halves meet is known
    QByteArray text;
    char point[128];
    for (int i = from; i < to; ++i) {
      std::snprintf(point, sizeof point,
                    "<trkpt lat=\"47.%05d\" lon='11.%05d'>\n <ele>%03d</ele> <time>2023-06-01T10:%02d:%02dZ</time></trkpt>\n",
                    i, i * 7 % 100000, i % 900, i / 60 % 60, i % 60);
      text += point;
    }
    return text;
  };
  const qsizetype pointBytes = points(0, 1).size();
  constexpr int kPoints = 4000;  // the file is well beyond what a second core is worth
  // atSplit goes where the second core starts looking, behind blanks that the
  // search begins in; later at three quarters.
  auto file = [&](const QByteArray& atSplit, const QByteArray& later) {
    const QByteArray split = QByteArray(2 * pointBytes, ' ') + atSplit;
    const qsizetype size = track(points(0, kPoints) + split + later).size();
    const int before = int((qsizetype(gpxLaterHalfFrom(size_t(size))) - track("").indexOf("</")) / pointBytes) - 1;
    return track(points(0, before) + split + points(before, 3 * kPoints / 4) + later + points(3 * kPoints / 4, kPoints));
  };
  const QByteArray oddPoint = "<trkpt lat='1' lon='2'><extensions><x>1</x></extensions></trkpt>";
  const QByteArray rows[] = {
      file("", ""),
      file(oddPoint, ""),                   // the second core starts behind a point it cannot read
      file("<!-- </trkpt> -->", ""),        // … behind an end the reading in order never meets
      file("", oddPoint), file("", "</trkseg><trkseg>\n"),  // the second core stops early
  };
  for (const QByteArray& row : rows) EXPECT_TRUE(agrees(row)) << row.mid(row.size() / 2 - 100, 200).constData();
  EXPECT_FALSE(agrees(track(points(0, kMaxFlightPoints + 1))));  // too many, however they are read
}

TEST_F(GpxFastPath, LeavesTheRestToTheXmlReader) {
  const QByteArray rows[] = {
      // faults
      "", "<gpx>", track("<trkpt lat='1' lon='2'>"), "<gpx></gpX>", "<gpx/><gpx/>", "<gpx/>x",
      track("<trkpt lat='1' lat='1' lon='2'/>"), track("<trkpt lat=1 lon='2'/>"), track("<trkpt lat='1'lon='2'/>"),
      track("<p:trkpt lat='1' lon='2'/>"), track("<trkpt lat='1' lon='2' a:b='1'/>"),
      "<gpx xmlns:a='u' xmlns:b='u'><trk><trkseg><trkpt lat='1' lon='2' a:x='1' b:x='2'/></trkseg></trk></gpx>",
      "<gpx><name>&foo;</name></gpx>", "<gpx><name>&#0;</name></gpx>", "<gpx><name>&#xD800;</name></gpx>",
      "<gpx><name>a]]>b</name></gpx>", "<gpx><!-- a -- b --></gpx>", "<gpx><!-- a ---></gpx>",
      "<gpx><name>\x01</name></gpx>", "<gpx><name>\xC0\x80</name></gpx>", "<gpx><name>\x80</name></gpx>",
      "<gpx><name>\xED\xA0\x80</name></gpx>", "<gpx><name>\xEF\xBF\xBE</name></gpx>", "<gpx><name>\xC3</name></gpx>",
      "<gpx><1a/></gpx>", "<gpx><a:b:c xmlns:a='u'/></gpx>", "<gpx a='<'/>", " <?xml version='1.0'?><gpx/>",
      // values the XML reader judges
      track("<trkpt lat='4.75e1' lon='2'/>"), track("<trkpt lat='+5' lon='2'/>"), track("<trkpt lat='.5' lon='2'/>"),
      track("<trkpt lat='5.' lon='2'/>"), track("<trkpt lat='nan' lon='2'/>"), track("<trkpt lat='90.5' lon='2'/>"),
      track("<trkpt lat='1' lon=''/>"), track("<trkpt lat='1'/>"), track("<trkpt lat='&#52;' lon='2'/>"),
      track("<trkpt lat='1' lon='2' p:lat='3' xmlns:p='u'/>"), track("<trkpt lat='1' lon='2'><ele>4.5e2</ele></trkpt>"),
      track("<trkpt lat='1' lon='2'><ele>&#52;</ele></trkpt>"), track("<trkpt lat='1' lon='2'><ele>4<!--c-->5</ele></trkpt>"),
      track("<trkpt lat='1' lon='2'><ele><b>4</b></ele></trkpt>"),
      track("<trkpt lat='1' lon='2'><time>\xC2\xA0" "2023-06-01T10:00:00Z</time></trkpt>"),
      "<gpx><rte><rtept lat='1' lon='2'/></rte><wpt lat='1' lon='2'/></gpx><!-- and no track -->" + QByteArray("x"),
      "<gpx><wpt lat='1' lon='2'/></gpx>", "<other><trk><trkseg><trkpt lat='1' lon='2'/></trkseg></trk></other>",
      // XML beyond the plain subset
      "<!DOCTYPE gpx><gpx/>", "<gpx><name><![CDATA[x]]></name></gpx>", "<gpx><?pi x?></gpx>",
      "<?xml version='1.0' encoding='ISO-8859-1'?>" + track("<trkpt lat='1' lon='2'/>"),
      "<?xml version='1.1'?>" + track("<trkpt lat='1' lon='2'/>"), QByteArray("\xFF\xFE<\0g\0p\0x\0/\0>\0", 14),
      track("<trkpt lat='1' lon='2'><n\xC3\xA4me/></trkpt>"),
  };
  for (const QByteArray& row : rows) EXPECT_FALSE(agrees(row)) << row.constData();
  // Too many points are the XML reader's to report.
  QByteArray many;
  for (int i = 0; i <= kMaxFlightPoints; ++i) many += "<trkpt lat='1' lon='2'/>";
  EXPECT_FALSE(agrees(track(many)));
}

}  // namespace
