#include "model/RunError.h"

#include <QFileInfo>

#include <cerrno>

namespace trelvano {

RunError::RunError(RunErrorKind kind, QString text, QString detail)
    : kind_(kind), text_(std::move(text)), detail_(std::move(detail)) {
  utf8_ = boxText().toStdString();
}

RunError RunError::range() { return {RunErrorKind::Range, QStringLiteral("Fehler bei Bereichsprüfung")}; }
RunError RunError::intOverflow() { return {RunErrorKind::IntOverflow, QStringLiteral("Integerüberlauf")}; }
RunError RunError::invalidInteger(const QString& field) {
  return {RunErrorKind::InvalidInteger, QStringLiteral("'%1' ist kein gültiger Integerwert").arg(field)};
}
RunError RunError::invalidFloat(const QString& field) {
  return {RunErrorKind::InvalidFloat, QStringLiteral("'%1' ist kein gültiger Gleitkommawert").arg(field)};
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

RunError RunError::invalidGpx() { return {RunErrorKind::InvalidGpx, QStringLiteral("Ungültige GPX-Datei")}; }

RunError RunError::invalidTerrain() { return {RunErrorKind::InvalidTerrain, QStringLiteral("Ungültige Geländedatei")}; }

RunError RunError::invalidMap() { return {RunErrorKind::InvalidMap, QStringLiteral("Ungültige Kartendatei")}; }

RunError RunError::mapWithoutCrs() {
  return {RunErrorKind::MapWithoutCrs, QStringLiteral("Karte ohne Koordinatensystem")};
}

RunError RunError::outsideFlight() {
  return {RunErrorKind::OutsideFlight, QStringLiteral("Karte liegt nicht im Bereich des Fluges")};
}

RunError RunError::terrainOutsideFlight() {
  return {RunErrorKind::TerrainOutsideFlight, QStringLiteral("Gelände liegt nicht im Bereich des Fluges")};
}

RunError RunError::fileTooLarge(qint64 bytes, qint64 limit, const QString& detail) {
  // Whole megabytes, rounded up, so a file just over the limit does not read as the limit.
  const auto mb = [](qint64 n) { return (n + (1 << 20) - 1) >> 20; };
  return {RunErrorKind::FileTooLarge,
          QStringLiteral("Datei zu groß (%1 MB, höchstens %2 MB)").arg(mb(bytes)).arg(mb(limit)), detail};
}

RunError RunError::fileNotFound() { return {RunErrorKind::FileNotFound, QStringLiteral("Datei nicht gefunden")}; }

RunError RunError::cannotOpen() {
  return {RunErrorKind::CannotOpen, QStringLiteral("Datei kann nicht geöffnet werden")};
}

RunError RunError::ioWrite(int code, int err, const QString& path) {
  return io(code, QStringLiteral("Datei %1").arg(QFileInfo(path).fileName())).withCause(systemErrorCause(err));
}

RunError RunError::tooManyPoints(int limit) {
  return range().withCause(QStringLiteral("Die Datei enthält mehr als %1 Punkte").arg(limit));
}

RunError RunError::tooManySamples(int limit) {
  return range().withCause(QStringLiteral("Die Datei enthält mehr als %1 Messwerte").arg(limit));
}

RunError RunError::tooManyFlights(int limit) {
  return {RunErrorKind::TooManyFlights,
          QStringLiteral("Es können höchstens %1 Flüge gleichzeitig geladen sein").arg(limit)};
}

RunError RunError::noFlight() { return {RunErrorKind::NoFlight, QStringLiteral("Kein Flug geladen")}; }

RunError RunError::ownRecording(const QString& path) {
  return {RunErrorKind::OwnRecording, QStringLiteral("Die geladene Aufzeichnung kann nicht überschrieben werden"),
          QStringLiteral("Datei %1").arg(QFileInfo(path).fileName())};
}

QString RunError::boxText() const {
  QString box = text_;
  if (!cause_.isEmpty()) box += QLatin1Char('\n') + cause_;
  if (!detail_.isEmpty()) box += QLatin1Char('\n') + detail_;
  return box;
}

RunError RunError::withDetail(const QString& detail) const {
  const QString joined = detail_.isEmpty() ? detail : detail_ + QStringLiteral(", ") + detail;
  return RunError(kind_, text_, joined).withCause(cause_);
}

RunError RunError::withCause(const QString& cause) const {
  RunError e(kind_, text_, detail_);
  e.cause_ = cause;
  e.utf8_ = e.boxText().toStdString();
  return e;
}

QString systemErrorCause(int err) {
  switch (err) {
    case ENOSPC:
    case EDQUOT: return QStringLiteral("Kein Speicherplatz auf dem Gerät");
    case EACCES:
    case EPERM: return QStringLiteral("Keine Schreibberechtigung");
    case EROFS: return QStringLiteral("Das Dateisystem ist schreibgeschützt");
    case ENOENT:
    case ENOTDIR: return QStringLiteral("Der Ordner existiert nicht");
    case EISDIR: return QStringLiteral("Das Ziel ist ein Ordner");
    case EFBIG: return QStringLiteral("Die Datei ist zu groß für das Dateisystem");
    case ENAMETOOLONG: return QStringLiteral("Der Dateiname ist zu lang");
    case EMFILE:
    case ENFILE: return QStringLiteral("Zu viele offene Dateien");
    case EIO: return QStringLiteral("Gerätefehler beim Schreiben");
    case EBADF: return QStringLiteral("Die Ausgabe ist nicht beschreibbar");
    default: return {};
  }
}

}  // namespace trelvano
