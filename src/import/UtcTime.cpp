#include "import/UtcTime.h"

#include "import/PlainDigits.h"
#include "import/TextLines.h"

#include <cmath>
#include <limits>
#include <string_view>

namespace trelvano {

namespace {

constexpr int64_t kSecondsPerDay = 86400;

bool isLeapYear(int64_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int daysInMonth(int64_t year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

bool validDate(int64_t year, int month, int day) {
  return month >= 1 && month <= 12 && day >= 1 && day <= daysInMonth(year, month);
}

// Reads `count` ASCII digits at text[pos]; moves pos behind them.
bool digits(std::string_view text, size_t& pos, int count, int& value) {
  if (pos + count > text.size() || !plainDigits(text.data() + pos, count, value)) return false;
  pos += count;
  return true;
}

bool at(std::string_view text, size_t pos, char c) { return pos < text.size() && text[pos] == c; }

bool expect(std::string_view text, size_t& pos, char c) {
  if (!at(text, pos, c)) return false;
  ++pos;
  return true;
}

// Civil date of a day count since 1970-01-01 (the inverse of daysFromCivil).
void civilFromDays(int64_t z, int64_t& year, int& month, int& day) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  day = int(doy - (153 * mp + 2) / 5 + 1);
  month = int(mp < 10 ? mp + 3 : mp - 9);
  year = yoe + era * 400 + (month <= 2);
}

}  // namespace

int64_t daysFromCivil(int64_t year, int month, int day) {
  // Howard Hinnant's days_from_civil: years counted from March, so the leap day ends a year.
  year -= month <= 2;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int64_t yoe = year - era * 400;
  const int64_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

std::optional<double> parseIsoTime(std::string_view text) {
  text = trimmedBlanks(text);
  size_t pos = 0;
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  if (!digits(text, pos, 4, year) || !expect(text, pos, '-') || !digits(text, pos, 2, month) ||
      !expect(text, pos, '-') || !digits(text, pos, 2, day) || !expect(text, pos, 'T') || !digits(text, pos, 2, hour) ||
      !expect(text, pos, ':') || !digits(text, pos, 2, minute) || !expect(text, pos, ':') ||
      !digits(text, pos, 2, second))
    return std::nullopt;
  if (hour > 23 || minute > 59 || second > 60 || !validDate(year, month, day)) return std::nullopt;
  double fraction = 0;
  if (expect(text, pos, '.')) {
    double scale = 0.1;
    const size_t first = pos;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
      fraction += (text[pos] - '0') * scale;
      scale /= 10;
    }
    if (pos == first) return std::nullopt;
  }
  int offset = 0;  // seconds east of UTC
  if (at(text, pos, '+') || at(text, pos, '-')) {
    const int sign = at(text, pos, '-') ? -1 : 1;
    ++pos;
    int oh = 0, om = 0;
    if (!digits(text, pos, 2, oh)) return std::nullopt;
    expect(text, pos, ':');
    if (!digits(text, pos, 2, om) || oh > 14 || om > 59) return std::nullopt;
    offset = sign * (oh * 3600 + om * 60);
  } else {
    expect(text, pos, 'Z');
  }
  if (pos != text.size()) return std::nullopt;
  const int64_t whole = daysFromCivil(year, month, day) * kSecondsPerDay + hour * 3600 + minute * 60 + second;
  return double(whole - offset) + fraction;
}

std::optional<double> igcDate(std::string_view line) {
  constexpr std::string_view kRecord = "HFDTE", kLabel = "DATE:";
  if (line.substr(0, kRecord.size()) != kRecord) return std::nullopt;
  line.remove_prefix(kRecord.size());
  if (line.substr(0, kLabel.size()) == kLabel) line.remove_prefix(kLabel.size());
  size_t pos = 0;
  int day = 0, month = 0, year = 0;
  if (!digits(line, pos, 2, day) || !digits(line, pos, 2, month) || !digits(line, pos, 2, year)) return std::nullopt;
  year += year >= 80 ? 1900 : 2000;
  if (!validDate(year, month, day)) return std::nullopt;
  return double(daysFromCivil(year, month, day) * kSecondsPerDay);
}

QString isoTimeText(double seconds) {
  const double whole = std::floor(seconds);
  int millis = int(std::lround((seconds - whole) * 1000));
  int64_t t = int64_t(whole);
  if (millis == 1000) {
    ++t;
    millis = 0;
  }
  const int64_t days = t >= 0 ? t / kSecondsPerDay : (t - kSecondsPerDay + 1) / kSecondsPerDay;
  const int64_t ofDay = t - days * kSecondsPerDay;
  int64_t year;
  int month, day;
  civilFromDays(days, year, month, day);
  QString text = QStringLiteral("%1-%2-%3T%4:%5:%6")
                     .arg(year, 4, 10, QLatin1Char('0'))
                     .arg(month, 2, 10, QLatin1Char('0'))
                     .arg(day, 2, 10, QLatin1Char('0'))
                     .arg(ofDay / 3600, 2, 10, QLatin1Char('0'))
                     .arg(ofDay / 60 % 60, 2, 10, QLatin1Char('0'))
                     .arg(ofDay % 60, 2, 10, QLatin1Char('0'));
  if (millis != 0) {
    QString decimals = QStringLiteral("%1").arg(millis, 3, 10, QLatin1Char('0'));
    while (decimals.endsWith(QLatin1Char('0'))) decimals.chop(1);
    text += QLatin1Char('.') + decimals;
  }
  return text + QLatin1Char('Z');
}

}  // namespace trelvano
