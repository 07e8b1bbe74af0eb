#pragma once
// The tables written for spreadsheets (the flight's values, the flight
// phases): semicolons between fields, CR LF after each row.

#include <QString>

namespace trelvano {

constexpr QChar kCsvSeparator = QLatin1Char(';');

// A field with a separator, quote or line break in quotes, its quotes doubled.
inline QString csvField(const QString& text) {
  if (!text.contains(kCsvSeparator) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n')) &&
      !text.contains(QLatin1Char('\r')))
    return text;
  QString quoted = text;
  quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
  return QLatin1Char('"') + quoted + QLatin1Char('"');
}

}  // namespace trelvano
