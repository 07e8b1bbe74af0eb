#include "import/LoggerField.h"
#include "import/LoggerLineShape.h"

#include "ImportTestSupport.h"

#include <random>
#include <string>

namespace logger_field_test {

using namespace trelvano;

namespace {

// Reads fields from `text` until it ends; each field with whether it ended the line.
struct Field {
  int32_t value;
  bool endedLine;
  bool operator==(const Field&) const = default;
};
std::vector<Field> fields(const QByteArray& text, int count) {
  LoggerCursor c{text.constData(), textEnd(text.constData(), text.constData() + text.size())};
  std::vector<Field> out;
  for (int i = 0; i < count; ++i) {
    c.FieldEndedLine = false;
    const int32_t v = ReadLoggerField(c);
    out.push_back({v, c.FieldEndedLine});
  }
  return out;
}
int32_t single(const char* text) { return fields(text, 1).front().value; }

TEST(ReadLoggerField, DigitsSignsAndIgnoredCharacters) {
  EXPECT_EQ(single("12.5;"), 125);
  EXPECT_EQ(single(" 7;"), 7);
  EXPECT_EQ(single("-0;"), 0);
  EXPECT_EQ(single("-12;"), -12);
  EXPECT_EQ(single("1-2;"), 12);  // a minus after a non-zero digit is ignored
  EXPECT_EQ(single("0-5;"), -5);  // … but counts while the value is still 0
  EXPECT_EQ(single("a1b2c;"), 12);
  EXPECT_EQ(single(";"), 0);
  EXPECT_EQ(single("2147483647;"), 2147483647);
  EXPECT_EQ(single("-2147483647;"), -2147483647);
}

TEST(ReadLoggerField, DigitsBeyond32BitsOverflow) {
  for (const char* text : {"2147483648;", "-2147483648;", "99999999999;"}) {
    const auto e = errorOf([&] { single(text); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->text(), QStringLiteral("Integerüberlauf"));
  }
}

TEST(ReadLoggerField, FieldsStopAtSemicolonsAndLineEnds) {
  EXPECT_EQ(fields("1;2;3\r\n4;5\r\n", 5),
            (std::vector<Field>{{1, false}, {2, false}, {3, true}, {4, false}, {5, true}}));
  // The end of the text ends the line; reading on gives 0.
  EXPECT_EQ(fields("8", 3), (std::vector<Field>{{8, true}, {0, true}, {0, true}}));
  // A Ctrl-Z ends the text.
  EXPECT_EQ(fields("8;9\x1a;7;", 3), (std::vector<Field>{{8, false}, {9, true}, {0, true}}));
}

TEST(ReadLoggerField, AFieldAtALineEndRunsOnIntoTheNextLine) {
  // After "3" stopped before the line end, the next field begins there and
  // runs on to the next ';' of the following line.
  const std::vector<Field> crlf = fields("3\r\n45;6\r\n", 3);
  EXPECT_EQ(crlf, (std::vector<Field>{{3, true}, {45, false}, {6, true}}));
  EXPECT_EQ(fields("3\n45;6\n", 3), crlf);
  EXPECT_EQ(fields("3\r45;6\r", 3), crlf);
  // An empty line: the field ends at the empty line's end, in every line-end style.
  const std::vector<Field> empty = fields("3\r\n\r\n4;", 3);
  EXPECT_EQ(empty, (std::vector<Field>{{3, true}, {0, true}, {4, false}}));
  EXPECT_EQ(fields("3\n\n4;", 3), empty);
  EXPECT_EQ(fields("3\r\r4;", 3), empty);
  EXPECT_EQ(fields("3\r\r\n4;", 3), empty);
}

// The result of one field read from `text`, or the error text.
std::string outcome(const QByteArray& text) {
  LoggerCursor c{text.constData(), text.constData() + text.size()};
  try {
    const int32_t v = ReadLoggerField(c);
    return std::to_string(v) + (c.FieldEndedLine ? " ended" : "") + (c.DigitSeen ? " digits" : "") + " at " +
           std::to_string(c.pos - text.constData());
  } catch (const RunError& e) {
    return e.text().toStdString();
  }
}

TEST(ReadLoggerField, LongTextReadsLikeShortText) {
  // With enough text behind it a field is read eight bytes at a time; it must
  // come out exactly as when read character by character at the end of a text.
  const char* const bodies[] = {"",
                                "-",
                                "0",
                                "7",
                                "-7",
                                "12",
                                "4807038",
                                "-1131456",
                                "99999999",
                                "123456789",
                                "2147483647",
                                "2147483648",
                                "-2147483647",
                                "-2147483648",
                                "9999999999",
                                "00000000001",
                                "000000002147483647",
                                "12345678901",
                                "1-2",
                                "0-5",
                                "-0",
                                "12.5",
                                " 7",
                                "--3",
                                "1 2",
                                "123456789a",
                                "1234567",
                                "-7654321",
                                "0000000",
                                "12345678",
                                "x",
                                "1\x80",
                                "9/",
                                ":",
                                "\xff"
                                "9"};
  for (const char* body : bodies)
    for (const char* stop : {";", "\r\n", "\n", "\r"}) {
      if (!*body && *stop != ';') continue;  // a field at a line end runs on: no end of text to compare with
      const QByteArray field = QByteArray(body) + stop;
      SCOPED_TRACE(field.toStdString());
      const std::string shortText = outcome(field);
      EXPECT_EQ(outcome(field + "5;6;7;8;9;10;11;12;13;14;15;16"), shortText);
    }
}

TEST(SkipLine, SkipsTheRestAndOneLineEnd) {
  for (const QByteArray& text : {QByteArray("abc\r\nx"), QByteArray("abc\nx"), QByteArray("abc\rx")}) {
    LoggerCursor c{text.constData(), text.constData() + text.size()};
    skipLine(c);
    ASSERT_FALSE(atTextEnd(c));
    EXPECT_EQ(*c.pos, 'x');
  }
  const QByteArray crcrlf = "a\r\r\nx";
  LoggerCursor c{crcrlf.constData(), crcrlf.constData() + crcrlf.size()};
  skipLine(c);
  skipLine(c);
  EXPECT_EQ(*c.pos, 'x');
  skipLine(c);
  EXPECT_TRUE(atTextEnd(c));
}

}  // namespace

TEST(LoggerLineShape, ShapedLinesReadAsFieldByField) {
  // Random lines of 13 or 16 fields, mostly plain (a minus, 1 … 10 digits),
  // sometimes with a blank, a letter, a dot, an empty or missing field, a
  // value beyond 32 bits or another line end, each read with the shape of
  // the line before it (or its own, learnt): where the shape reads a line,
  // values, cursor and flags must be those of reading it field by field.
  std::mt19937 rng(17);
  auto uni = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  auto plainField = [&] {
    std::string f = uni(0, 5) == 0 ? "-" : "";
    const int digits = uni(0, 9) == 0 ? uni(9, 10) : uni(1, 5);
    for (int k = 0; k < digits; ++k) f += char('0' + uni(k == 0 && digits > 1 ? 1 : 0, 9));
    return f;
  };
  const char* const odd[] = {" 12", "1a", "1.5", "", "-", "99999999999", "2147483648", "-2147483647"};
  const char* const lineEnds[] = {"\r\n", "\n", "\r", ";\r\n", ";7;8\r\n"};
  LoggerLineShape shape;
  int shapedLines = 0;
  for (int n = 0; n < 4000; ++n) {
    const int fields = uni(0, 1) ? kSampleColumns : 13;
    const bool sameShape = uni(0, 2) != 0 && shape.fields == fields;
    std::string line;
    for (int f = 0; f < fields; ++f) {
      std::string field = uni(0, 60) == 0 ? odd[uni(0, 7)] : plainField();
      if (sameShape && uni(0, 3) != 0) {  // the previous line's shape, new digits
        field = shape.field[f].sign ? "-" : "";
        for (int k = 0; k < shape.field[f].digits; ++k) field += char('0' + uni(0, 9));
      }
      line += field + (f + 1 < fields ? ";" : "");
    }
    if (uni(0, 40) == 0) line.resize(line.rfind(';'));  // a field short
    line += lineEnds[uni(0, 9) < 7 ? 0 : uni(1, 4)];
    const QByteArray text = QByteArray::fromStdString(line + "1;2;3\r\n" + std::string(uni(0, 20), ' '));
    LoggerCursor byField{text.constData(), text.constData() + text.size()};
    std::vector<int32_t> expected(fields);
    bool overflow = false;
    try {
      for (int f = 0; f < fields; ++f) expected[f] = ReadLoggerField(byField);
    } catch (const RunError&) {
      overflow = true;
    }
    LoggerCursor byShape{text.constData(), text.constData() + text.size()};
    std::vector<int32_t> row(fields);
    bool read = shape.fields == fields && readShapedLine(byShape, row.data(), shape);
    if (!read) {
      ASSERT_EQ(byShape.pos, text.constData()) << line;  // a misfit leaves the cursor alone
      read = learnLineShape(byShape.pos, byShape.end, fields, shape) && readShapedLine(byShape, row.data(), shape);
    }
    if (!read) continue;
    ++shapedLines;
    ASSERT_FALSE(overflow) << line;
    EXPECT_EQ(row, expected) << line;
    EXPECT_EQ(byShape.pos, byField.pos) << line;
    EXPECT_EQ(byShape.FieldEndedLine, byField.FieldEndedLine) << line;
    EXPECT_EQ(byShape.DigitSeen, byField.DigitSeen) << line;
  }
  EXPECT_GT(shapedLines, 1000);
}

}  // namespace logger_field_test
