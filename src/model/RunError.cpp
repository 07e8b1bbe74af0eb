#include "model/RunError.h"

RunError::RunError(RunErrorKind kind, QString text, QString detail)
    : kind_(kind), text_(std::move(text)), detail_(std::move(detail)) {
  utf8_ = boxText().toStdString();
}

RunError RunError::range() {
  return {RunErrorKind::Range, QStringLiteral("Fehler bei Bereichsprüfung")};
}
RunError RunError::intOverflow() {
  return {RunErrorKind::IntOverflow, QStringLiteral("Integerüberlauf")};
}
RunError RunError::invalidInteger(const QString& field) {
  return {RunErrorKind::InvalidInteger,
          QStringLiteral("'%1' ist kein gültiger Integerwert").arg(field)};
}
RunError RunError::invalidFloat(const QString& field) {
  return {RunErrorKind::InvalidFloat,
          QStringLiteral("'%1' ist kein gültiger Gleitkommawert").arg(field)};
}
RunError RunError::io(int code, const QString& detail) {
  return {RunErrorKind::Io, QStringLiteral("E/A-Fehler %1").arg(code), detail};
}
RunError RunError::readPastEof() {
  return {RunErrorKind::ReadPastEof, QStringLiteral("Versuch hinter dem Dateiende zu lesen")};
}
RunError RunError::invalidFloatOp() {
  return {RunErrorKind::InvalidFloatOp, QStringLiteral("Ungültige Gleitkommaoperation")};
}

RunError RunError::noFlightData() {
  return {RunErrorKind::NoFlightData, QStringLiteral("Keine Flugdaten in der Datei")};
}

QString RunError::boxText() const {
  return detail_.isEmpty() ? text_ : text_ + QLatin1Char('\n') + detail_;
}

RunError RunError::withDetail(const QString& detail) const {
  const QString joined = detail_.isEmpty() ? detail : detail_ + QStringLiteral(", ") + detail;
  return {kind_, text_, joined};
}
