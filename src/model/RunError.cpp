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

RunError RunError::invalidGpx() {
  return {RunErrorKind::InvalidGpx, QStringLiteral("Ungültige GPX-Datei")};
}

RunError RunError::invalidTerrain() {
  return {RunErrorKind::InvalidTerrain, QStringLiteral("Ungültige Geländedatei")};
}

RunError RunError::invalidMap() {
  return {RunErrorKind::InvalidMap, QStringLiteral("Ungültige Kartendatei")};
}

RunError RunError::mapWithoutCrs() {
  return {RunErrorKind::MapWithoutCrs, QStringLiteral("Karte ohne Koordinatensystem")};
}

RunError RunError::outsideFlight() {
  return {RunErrorKind::OutsideFlight, QStringLiteral("Karte liegt nicht im Bereich des Fluges")};
}

RunError RunError::fileTooLarge(qint64 bytes, qint64 limit, const QString& detail) {
  // Whole megabytes, rounded up, so a file just over the limit does not read as the limit.
  const auto mb = [](qint64 n) { return (n + (1 << 20) - 1) >> 20; };
  return {RunErrorKind::FileTooLarge,
          QStringLiteral("Datei zu groß (%1 MB, höchstens %2 MB)").arg(mb(bytes)).arg(mb(limit)), detail};
}

RunError RunError::fileNotFound() {
  return {RunErrorKind::FileNotFound, QStringLiteral("Datei nicht gefunden")};
}

RunError RunError::cannotOpen() {
  return {RunErrorKind::CannotOpen, QStringLiteral("Datei kann nicht geöffnet werden")};
}

QString RunError::boxText() const {
  return detail_.isEmpty() ? text_ : text_ + QLatin1Char('\n') + detail_;
}

RunError RunError::withDetail(const QString& detail) const {
  const QString joined = detail_.isEmpty() ? detail : detail_ + QStringLiteral(", ") + detail;
  return {kind_, text_, joined};
}
