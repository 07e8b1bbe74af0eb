#pragma once
// A picture as the bytes of an image file, for the "Bild speichern…" commands.

#include <QByteArray>
#include <QImage>
#include <QString>

namespace trelvano {

QByteArray pngBytes(const QImage& image);

// The name a picture is saved under: `path` when its suffix names a format
// the picture can be written in (".png", ".jpg", ".jpeg", ".bmp", any case),
// else `path` with ".png" added, so the bytes always match the name.
QString picturePath(const QString& path);
// The picture in the format of picturePath(path)'s suffix.
QByteArray pictureBytes(const QImage& image, const QString& path);

}  // namespace trelvano
