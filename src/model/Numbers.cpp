#include "model/Numbers.h"

#include "model/RunError.h"

#include <QLocale>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace trelvano {

void throwInvalidFloatOp() { throw RunError::invalidFloatOp(); }
void throwRangeError() { throw RunError::range(); }

int32_t RoundToInt32(double v) { return checkedInt32(Round(v)); }

int64_t Trunc(double v) {
  const double r = std::trunc(v);
  if (!std::isfinite(r) || r < -9223372036854775808.0 || r >= 9223372036854775808.0) throw RunError::invalidFloatOp();
  return static_cast<int64_t>(r);
}

int32_t checkedAdd(int32_t a, int32_t b) {
  int32_t r;
  if (__builtin_add_overflow(a, b, &r)) throw RunError::intOverflow();
  return r;
}

int32_t checkedMul(int32_t a, int32_t b) {
  int32_t r;
  if (__builtin_mul_overflow(a, b, &r)) throw RunError::intOverflow();
  return r;
}

double checkedFinite(double v) {
  if (!std::isfinite(v)) throw RunError::invalidFloatOp();
  return v;
}

QChar decimalSeparator() {
  const QString dp = QLocale().decimalPoint();
  return dp.isEmpty() ? QLatin1Char('.') : dp.at(0);
}

QString fixedText(double v, int decimals) {
  if (!std::isfinite(v)) return QStringLiteral("–");
  if (std::abs(v) < 0.5 * std::pow(10.0, -decimals)) v = 0;  // no "-0"
  QString text = QString::number(v, 'f', decimals);
  return text.replace(QLatin1Char('.'), decimalSeparator());
}

QString formatGeneral(double v, int precision, int exponentDigits) {
  if (std::isnan(v)) return QStringLiteral("NAN");
  if (std::isinf(v)) return v > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
  if (v == 0) return QStringLiteral("0");

  // `precision` significant digits: d.ddd…e±XX, rounded once, by the C library.
  // to_chars is independent of the C locale, which Qt sets from the environment.
  precision = std::clamp(precision, 1, 15);
  char buf[40];
  *std::to_chars(buf, buf + sizeof buf - 1, v, std::chars_format::scientific, precision - 1).ptr = '\0';
  const bool negative = buf[0] == '-';
  const char* p = buf + (negative ? 1 : 0);
  char digits[16];
  int nd = 0;
  for (; *p && *p != 'e'; ++p)
    if (*p >= '0' && *p <= '9') digits[nd++] = *p;
  const int exponent = std::atoi(p + 1);
  while (nd > 1 && digits[nd - 1] == '0') --nd;

  const QChar sep = decimalSeparator();
  QString out;
  out.reserve(24);
  if (negative) out += QLatin1Char('-');
  if (exponent < precision && std::fabs(v) >= 0.00001) {
    if (exponent >= 0) {
      for (int i = 0; i <= exponent; ++i) out += QLatin1Char(i < nd ? digits[i] : '0');
      if (nd > exponent + 1) {
        out += sep;
        for (int i = exponent + 1; i < nd; ++i) out += QLatin1Char(digits[i]);
      }
    } else {
      out += QLatin1Char('0');
      out += sep;
      for (int i = 0; i < -exponent - 1; ++i) out += QLatin1Char('0');
      for (int i = 0; i < nd; ++i) out += QLatin1Char(digits[i]);
    }
  } else {
    out += QLatin1Char(digits[0]);
    if (nd > 1) {
      out += sep;
      for (int i = 1; i < nd; ++i) out += QLatin1Char(digits[i]);
    }
    out += QLatin1Char('E');
    if (exponent < 0) out += QLatin1Char('-');
    out += QString::number(std::abs(exponent)).rightJustified(exponentDigits, QLatin1Char('0'));
  }
  return out;
}

double parseFloat(QStringView text) {
  const QChar sep = decimalSeparator();
  const QStringView t = text.trimmed();
  QByteArray c;
  c.reserve(t.size());
  bool digits = false, sawSep = false, sawExp = false, expDigits = false;
  for (qsizetype i = 0; i < t.size(); ++i) {
    const QChar ch = t[i];
    if (ch.isDigit() && ch.unicode() < 128) {
      c += char(ch.unicode());
      (sawExp ? expDigits : digits) = true;
    } else if ((ch == QLatin1Char('+') || ch == QLatin1Char('-')) &&
               (i == 0 || (sawExp && (t[i - 1] == QLatin1Char('E') || t[i - 1] == QLatin1Char('e'))))) {
      c += char(ch.unicode());
    } else if (ch == sep && !sawSep && !sawExp) {
      c += '.';
      sawSep = true;
    } else if ((ch == QLatin1Char('E') || ch == QLatin1Char('e')) && digits && !sawExp) {
      c += 'e';
      sawExp = true;
    } else {
      throw RunError::invalidFloat(text.toString());
    }
  }
  if (!digits || (sawExp && !expDigits)) throw RunError::invalidFloat(text.toString());
  const char* begin = c.constData();
  if (*begin == '+') ++begin;
  double v = 0;
  const auto [end, ec] = std::from_chars(begin, c.constData() + c.size(), v);
  if (end != c.constData() + c.size()) throw RunError::invalidFloat(text.toString());
  if (ec == std::errc::result_out_of_range) throw RunError::invalidFloat(text.toString());
  return v;
}

int32_t parseInt(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  if (i == text.size()) throw RunError::invalidInteger(QString::fromLatin1(text.data(), text.size()));
  int64_t v = 0;
  for (; i < text.size(); ++i) {
    const char ch = text[i];
    if (ch < '0' || ch > '9') throw RunError::invalidInteger(QString::fromLatin1(text.data(), text.size()));
    v = v * 10 + (ch - '0');
    if (v > 2147483648LL) throw RunError::invalidInteger(QString::fromLatin1(text.data(), text.size()));
  }
  if (negative) v = -v;
  if (v > 2147483647LL) throw RunError::invalidInteger(QString::fromLatin1(text.data(), text.size()));
  return static_cast<int32_t>(v);
}

int32_t parseInt(QStringView text) {
  const QByteArray latin = text.toLatin1();
  return parseInt(std::string_view(latin.constData(), latin.size()));
}

}  // namespace trelvano
