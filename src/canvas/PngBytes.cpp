#include "canvas/PngBytes.h"

#include <QBuffer>
#include <QFileInfo>

namespace trelvano {

namespace {

QByteArray imageBytes(const QImage& image, const char* format) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, format, format[0] == 'J' ? 95 : -1);
  return bytes;
}

// The writer for a file suffix, or nullptr for one we do not write.
const char* formatOfSuffix(const QString& path) {
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix == QLatin1String("png")) return "PNG";
  if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg")) return "JPEG";
  if (suffix == QLatin1String("bmp")) return "BMP";
  return nullptr;
}

}  // namespace

QByteArray pngBytes(const QImage& image) { return imageBytes(image, "PNG"); }

QString picturePath(const QString& path) { return formatOfSuffix(path) ? path : path + QStringLiteral(".png"); }

QByteArray pictureBytes(const QImage& image, const QString& path) {
  const char* format = formatOfSuffix(path);
  return imageBytes(image, format ? format : "PNG");
}

}  // namespace trelvano
