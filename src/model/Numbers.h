#pragma once
// The program's number rules, one helper each: rounding (halves to the even
// neighbour), the general number format with the locale's decimal separator,
// and reading numbers back from text. Every caller uses these.

#include <QString>
#include <QStringView>
#include <cmath>
#include <cstdint>
#include <string_view>

namespace trelvano {

// Adding and taking away 1.5 * 2^52 leaves no bits below the units, so the
// hardware rounds to the nearest integer, halves to even. Exact for
// |v| < 2^51; the rare larger magnitudes go to the library.
constexpr double kRoundingShift = 6755399441055744.0;
constexpr double kShiftRoundsBelow = 2251799813685248.0;

// Nearest integer as a double, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
// Inline and branch-light: the renderer rounds every point it draws.
inline double roundHalfEven(double v) {
  if (std::fabs(v) < kShiftRoundsBelow) {
    const double r = (v + kRoundingShift) - kRoundingShift;
    return r == 0 ? std::copysign(0.0, v) : r;
  }
  return std::nearbyint(v);
}

[[noreturn]] void throwInvalidFloatOp();

// Round() of the run-time: nearest 64-bit integer, halves to even.
// Throws "Ungültige Gleitkommaoperation" for NaN, infinities and values
// outside the 64-bit range.
inline int64_t Round(double v) {
  // The common case first: far inside the 64-bit range, where the sign of a zero does not matter.
  if (std::fabs(v) < kShiftRoundsBelow) return static_cast<int64_t>((v + kRoundingShift) - kRoundingShift);
  const double r = roundHalfEven(v);
  if (!(r >= -9223372036854775808.0 && r < 9223372036854775808.0)) throwInvalidFloatOp();
  return static_cast<int64_t>(r);
}

// Round() stored into a 32-bit integer: "Fehler bei Bereichsprüfung" when it does not fit.
int32_t RoundToInt32(double v);

// Trunc(): drops the fraction; same failures as Round().
int64_t Trunc(double v);

[[noreturn]] void throwRangeError();

// Narrowing with the range check of the run-time. Inline: the chart narrows
// two values per drawn point.
inline int32_t checkedInt32(int64_t v) {
  if (v < INT32_MIN || v > INT32_MAX) throwRangeError();
  return static_cast<int32_t>(v);
}

// Overflow-checked 32-bit arithmetic ("Integerüberlauf").
int32_t checkedAdd(int32_t a, int32_t b);
int32_t checkedMul(int32_t a, int32_t b);

// Throws "Ungültige Gleitkommaoperation" unless v is a finite number.
double checkedFinite(double v);

// The locale's decimal separator (QLocale() default, a comma for de_DE).
QChar decimalSeparator();

// `v` with `decimals` places and decimalSeparator(); "–" for a value that
// is no number, and no "-0".
QString fixedText(double v, int decimals);

// General number format: shortest text with at most `precision` (1 … 15)
// significant digits, no trailing zeros, fixed notation while the value has at
// most `precision` digits before the separator and a magnitude of at least
// 0.00001, otherwise scientific with an exponent of at least `exponentDigits`
// digits ("1,5E20", "9E-6"; precision 4 and 2 digits: "1,235E05").
// Uses decimalSeparator().
QString formatGeneral(double v, int precision = 15, int exponentDigits = 0);

// Parses text in the general format back (the locale's separator, optional
// sign, optional exponent; blanks around it are allowed). Throws
// "'%s' ist kein gültiger Gleitkommawert" otherwise.
double parseFloat(QStringView text);

// Plain decimal integer text with an optional leading sign; leading blanks are
// allowed. Throws "'%s' ist kein gültiger Integerwert" for anything else,
// including values outside the 32-bit range.
int32_t parseInt(std::string_view text);
int32_t parseInt(QStringView text);

}  // namespace trelvano
