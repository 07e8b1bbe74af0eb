#pragma once
// A picture as the bytes of a PNG file, for the "Bild speichern…" commands.

#include <QByteArray>
#include <QImage>

QByteArray pngBytes(const QImage& image);
