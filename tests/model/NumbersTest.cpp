#include "common/TestPaths.h"
#include "model/Numbers.h"
#include "model/RunError.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace numbers_test {

using namespace trelvano;

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
  const struct {
    double in;
    int64_t out;
  } cases[] = {
      {0.5, 0},   {1.5, 2},       {2.5, 2},       {3.5, 4},     {-0.5, 0},         {-1.5, -2},
      {-2.5, -2}, {2.4999999, 2}, {2.5000001, 3}, {126.2, 126}, {-1.26 * 10, -13}, {7199.4, 7199},
  };
  for (const auto& c : cases) EXPECT_EQ(Round(c.in), c.out) << c.in;
}

TEST(Rounding, FailuresCarryTheRunTimeTexts) {
  try {
    Round(std::numeric_limits<double>::quiet_NaN());
    FAIL();
  } catch (const RunError& e) {
    EXPECT_EQ(e.text(), QStringLiteral("Ungültige Gleitkommaoperation"));
  }
  EXPECT_THROW(Round(1e300), RunError);
  EXPECT_EQ(RoundToInt32(2147483647.0), 2147483647);
  try {
    RoundToInt32(2147483648.0);
    FAIL();
  } catch (const RunError& e) {
    EXPECT_EQ(e.text(), QStringLiteral("Fehler bei Bereichsprüfung"));
  }
  EXPECT_EQ(Trunc(-2.7), -2);
  EXPECT_THROW(checkedAdd(2147483647, 1), RunError);
  EXPECT_THROW(checkedMul(65536, 65536), RunError);
}

TEST(GeneralFormat, GermanAndCLocale) {
  const struct {
    double v;
    const char* de;
    const char* c;
  } cases[] = {
      {0, "0", "0"},
      {100, "100", "100"},
      {-12, "-12", "-12"},
      {126.2, "126,2", "126.2"},
      {0.1, "0,1", "0.1"},
      {1.0 / 3.0, "0,333333333333333", "0.333333333333333"},
      {2.0 / 3.0, "0,666666666666667", "0.666666666666667"},
      {22505626.406601651, "22505626,4066017", "22505626.4066017"},
      {0.00001, "0,00001", "0.00001"},
      {0.0000123, "0,0000123", "0.0000123"},
      {0.000009, "9E-6", "9E-6"},
      {-0.0000095, "-9,5E-6", "-9.5E-6"},
      {999999999999999.0, "999999999999999", "999999999999999"},
      {1e15, "1E15", "1E15"},
      {1.5e20, "1,5E20", "1.5E20"},
      {9.9999999999999999e14, "1E15", "1E15"},  // rounding to 15 digits carries into a new digit
  };
  for (const auto& c : cases) {
    {
      ScopedLocale de("de_DE");
      EXPECT_EQ(formatGeneral(c.v), QString::fromUtf8(c.de)) << c.v;
      EXPECT_DOUBLE_EQ(parseFloat(formatGeneral(c.v)), std::stod(c.c)) << c.de;
    }
    ScopedLocale cl("C");
    EXPECT_EQ(formatGeneral(c.v), QString::fromUtf8(c.c)) << c.v;
  }
}

TEST(ParseFloat, RejectsTextOfTheOtherLocaleAndGarbage) {
  ScopedLocale de("de_DE");
  EXPECT_DOUBLE_EQ(parseFloat(u" -1,25 "), -1.25);
  EXPECT_DOUBLE_EQ(parseFloat(u"3E2"), 300);
  for (const char16_t* bad : {u"1.5", u"", u"abc", u"1,2,3", u"E5", u"1E"}) {
    try {
      parseFloat(bad);
      FAIL() << QString::fromUtf16(bad).toStdString();
    } catch (const RunError& e) {
      EXPECT_EQ(e.text(), QStringLiteral("'%1' ist kein gültiger Gleitkommawert").arg(QString::fromUtf16(bad)));
    }
  }
}

TEST(ParseInt, LeadingBlanksAndSignButNothingElse) {
  EXPECT_EQ(parseInt(std::string_view("    0")), 0);
  EXPECT_EQ(parseInt(std::string_view("00312")), 312);
  EXPECT_EQ(parseInt(std::string_view("-0012")), -12);
  EXPECT_EQ(parseInt(std::string_view("-2147483648")), -2147483647 - 1);
  for (const char* bad : {"", " ", "12 ", "1a", "2147483648", "--1", "+"}) {
    try {
      parseInt(std::string_view(bad));
      FAIL() << bad;
    } catch (const RunError& e) {
      EXPECT_EQ(e.text(), QStringLiteral("'%1' ist kein gültiger Integerwert").arg(QLatin1String(bad)));
    }
  }
}

TEST(Rounding, AgreesWithTheLibraryAcrossMagnitudes) {
  // The fast path must give exactly what round-to-nearest-even gives.
  for (double base : {0.0, 1.0, 1e3, 1e9, 4.5e15, 1e17}) {
    for (double frac : {0.0, 0.25, 0.5, 0.75, 1.5, 2.5}) {
      for (double sign : {1.0, -1.0}) {
        const double v = sign * (base + frac);
        EXPECT_EQ(roundHalfEven(v), std::nearbyint(v)) << v;
      }
    }
  }
  EXPECT_EQ(roundHalfEven(std::nextafter(0.5, 0.0)), 0.0);
  EXPECT_EQ(roundHalfEven(4503599627370495.5), 4503599627370496.0);
}

}  // namespace numbers_test
