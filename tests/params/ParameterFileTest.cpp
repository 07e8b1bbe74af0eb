#include "common/TestPaths.h"
#include "import/ChannelConversion.h"
#include "import/ParameterFile.h"
#include "model/RunError.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <optional>

namespace parameter_file_test {

using namespace trelvano;

namespace {

class ParameterFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    Parameterinit(table_);
  }
  QString path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }
  QTemporaryDir dir_;
  ChannelParamTable table_;
};

// A table whose every row differs and whose values probe the encoding.
void fillVaried(ChannelParamTable& t) {
  for (int k = 0; k < kChannelCount; ++k) {
    t[k].Offset = -1.5 * k;
    t[k].Koeffizient = k == 3 ? -0.0 : 1.0 / (k + 1);
    t[k].Name = QStringLiteral("Kanal %1").arg(k);
    t[k].Startwert = k == 5 ? 4.9e-324 : 1013.25 + k;
    t[k].Kind = k == 12 ? -2147483647 - 1 : k % 6;
  }
}

void expectSameTable(const ChannelParamTable& a, const ChannelParamTable& b) {
  for (int k = 0; k < kChannelCount; ++k) {
    EXPECT_EQ(std::memcmp(&a[k].Offset, &b[k].Offset, 8), 0) << k;
    EXPECT_EQ(std::memcmp(&a[k].Koeffizient, &b[k].Koeffizient, 8), 0) << k;
    EXPECT_EQ(std::memcmp(&a[k].Startwert, &b[k].Startwert, 8), 0) << k;
    EXPECT_EQ(a[k].Name, b[k].Name) << k;
    EXPECT_EQ(a[k].Kind, b[k].Kind) << k;
  }
  EXPECT_EQ(a.fileImage, b.fileImage);
}

std::optional<RunError> failureOf(auto&& action) {
  try {
    action();
    return std::nullopt;
  } catch (const RunError& e) {
    return e;
  }
}

}  // namespace

TEST_F(ParameterFileTest, RowsLieAtTheirOffsetsLittleEndian) {
  table_[6].Offset = 1.0;
  table_[6].Koeffizient = -2.0;
  table_[6].Name = QStringLiteral("Fahrt");
  table_[6].Startwert = 0.5;
  table_[6].Kind = -2;
  const QByteArray b = parameterFileBytes(table_);
  ASSERT_EQ(b.size(), 624);
  const QByteArray row = b.mid(6 * 48, 48);
  EXPECT_EQ(row.mid(0, 8).toHex(), "000000000000f03f");
  EXPECT_EQ(row.mid(8, 8).toHex(), "00000000000000c0");
  EXPECT_EQ(row.mid(16, 16), QByteArray("\x05"
                                        "Fahrt"
                                        "\0\0\0\0\0\0\0\0\0\0",
                                        16));
  EXPECT_EQ(row.mid(32, 8).toHex(), "000000000000e03f");
  EXPECT_EQ(row.mid(40, 8).toHex(), "feffffff00000000");  // Kind, then the unused bytes
  // A table never read from a file: default rows, nothing but zeros besides.
  EXPECT_EQ(b.mid(7 * 48 + 16, 16), QByteArray("\x08"
                                               "Frequenz"
                                               "\0\0\0\0\0\0\0",
                                               16));
  EXPECT_EQ(b.mid(12 * 48, 48).toHex(),
            "0000000000000000000000000000f03f075a757361747a32000000000000000000000000000000000000000000000000");
}

TEST_F(ParameterFileTest, SaveThenLoadGivesTheSameBytesAndValues) {
  fillVaried(table_);
  saveParameterFile(table_, path("a.par"));
  const QByteArray saved = readBytes(path("a.par"));
  EXPECT_EQ(saved, parameterFileBytes(table_));

  ChannelParamTable loaded;
  Parameterinit(loaded);
  Ladeparameter(loaded, path("a.par"));
  saveParameterFile(loaded, path("b.par"));
  EXPECT_EQ(readBytes(path("b.par")), saved);
  for (int k = 0; k < kChannelCount; ++k) {
    EXPECT_EQ(loaded[k].Name, table_[k].Name);
    EXPECT_EQ(loaded[k].Kind, table_[k].Kind);
    EXPECT_EQ(loaded[k].Startwert, table_[k].Startwert);
  }
  EXPECT_TRUE(std::signbit(loaded[3].Koeffizient));

  // Overwriting a longer file leaves exactly the table.
  writeBytes(path("c.par"), QByteArray(1000, 'x'));
  saveParameterFile(loaded, path("c.par"));
  EXPECT_EQ(readBytes(path("c.par")), saved);
}

TEST_F(ParameterFileTest, InsignificantBytesSurviveLoadAndSave) {
  QByteArray hand(624, '\0');
  for (int i = 0; i < 624; ++i) hand[i] = char(0xA5 ^ (i * 7));
  for (int k = 0; k < kChannelCount; ++k) {
    hand[k * 48 + 16] = char(k);                    // name lengths 0..12
    std::memcpy(hand.data() + k * 48 + 40, &k, 4);  // kinds 0..12, bytes beyond stay noise
  }
  writeBytes(path("hand.par"), hand);
  Ladeparameter(table_, path("hand.par"));
  EXPECT_EQ(table_[0].Name, QString());
  EXPECT_EQ(table_[3].Name.size(), 3);
  EXPECT_EQ(table_[12].Kind, 12);
  saveParameterFile(table_, path("out.par"));
  EXPECT_EQ(readBytes(path("out.par")), hand);

  // A changed name keeps the bytes beyond its new length.
  table_[9].Name = QStringLiteral("RC");
  QByteArray expected = hand;
  expected[9 * 48 + 16] = 2;
  expected[9 * 48 + 17] = 'R';
  expected[9 * 48 + 18] = 'C';
  EXPECT_EQ(parameterFileBytes(table_), expected);
}

TEST_F(ParameterFileTest, NamesAreLatin1AndAtMost15Characters) {
  table_[0].Name = QStringLiteral("Höhe Öl ß");
  table_[1].Name = QStringLiteral("Drehzahl Motor links");  // 20 characters
  table_[2].Name = QStringLiteral("5 €");
  const QByteArray b = parameterFileBytes(table_);
  EXPECT_EQ(b.mid(16, 10), QByteArray("\x09H\xF6he \xD6l \xDF"));
  EXPECT_EQ(b.mid(48 + 16, 16), QByteArray("\x0F"
                                           "Drehzahl Motor "));
  EXPECT_EQ(b.mid(96 + 16, 4), QByteArray("\x03"
                                          "5 ?"));

  ChannelParamTable loaded;
  readParameterBytes(loaded, b);
  EXPECT_EQ(loaded[0].Name, QStringLiteral("Höhe Öl ß"));
  EXPECT_EQ(loaded[1].Name, QStringLiteral("Drehzahl Motor "));

  // A length byte above 15 reads 15 characters and never the next field.
  QByteArray bad = b;
  bad[16] = char(200);
  std::memcpy(bad.data() + 17, "ABCDEFGHIJKLMNO", 15);
  readParameterBytes(loaded, bad);
  EXPECT_EQ(loaded[0].Name, QStringLiteral("ABCDEFGHIJKLMNO"));
  EXPECT_EQ(loaded[0].Startwert, 0.0);
}

TEST_F(ParameterFileTest, ShortLongMissingAndEmptyFiles) {
  fillVaried(table_);
  const ChannelParamTable before = table_;
  writeBytes(path("short.par"), QByteArray(623, '\x11'));
  writeBytes(path("empty.par"), QByteArray());
  for (const char* name : {"short.par", "empty.par"}) {
    const auto e = failureOf([&] { Ladeparameter(table_, path(name)); });
    ASSERT_TRUE(e.has_value()) << name;
    EXPECT_EQ(e->text(), QStringLiteral("Versuch hinter dem Dateiende zu lesen"));
    EXPECT_EQ(e->detail(), path(name));
    expectSameTable(table_, before);
  }

  // Missing file, empty name, a directory: nothing happens, nothing is reported.
  Ladeparameter(table_, path("missing.par"));
  Ladeparameter(table_, QString());
  Ladeparameter(table_, dir_.path());
  expectSameTable(table_, before);

  // Only the first 624 bytes of a longer file count.
  ChannelParamTable source;
  Parameterinit(source);
  source[4].Name = QStringLiteral("Temperatur");
  source[4].Kind = kKindLinear;
  writeBytes(path("long.par"), parameterFileBytes(source) + QByteArray(76, '\x7F'));
  Ladeparameter(table_, path("long.par"));
  EXPECT_EQ(table_[4].Name, QStringLiteral("Temperatur"));
  EXPECT_EQ(table_[4].Kind, kKindLinear);
  EXPECT_EQ(parameterFileBytes(table_), parameterFileBytes(source));
}

TEST_F(ParameterFileTest, FailedSavesAreReported) {
  const QString noDir = path("fehlt/default.par");
  auto e = failureOf([&] { saveParameterFile(table_, noDir); });
  ASSERT_TRUE(e.has_value());
  EXPECT_EQ(e->boxText(), QStringLiteral("E/A-Fehler 3\nDer Ordner existiert nicht\nDatei default.par"));
  EXPECT_FALSE(QDir(path("fehlt")).exists());

  e = failureOf([&] { saveParameterFile(table_, dir_.path()); });  // a directory
  ASSERT_TRUE(e.has_value());
  EXPECT_EQ(e->text(), QStringLiteral("E/A-Fehler 5"));

  if (!QFile::exists(QStringLiteral("/dev/full"))) GTEST_SKIP() << "no /dev/full";
  e = failureOf([&] { saveParameterFile(table_, QStringLiteral("/dev/full")); });  // disk full
  ASSERT_TRUE(e.has_value());
  EXPECT_EQ(e->boxText(), QStringLiteral("E/A-Fehler 101\nKein Speicherplatz auf dem Gerät\nDatei full"));
}

}  // namespace parameter_file_test
