#include "overlay/ClimbHistogram.h"

#include "canvas/Canvas.h"
#include "model/FlightPoint.h"
#include "model/Numbers.h"

#include <algorithm>

namespace trelvano {

namespace {

void drawHistogram(QImage& image, const std::vector<ClimbClass>& classes) {
  Canvas canvas(image);
  canvas.setBrushColor(colours::kWhite);
  canvas.fillRect(0, 0, image.width(), image.height());
  canvas.textOut(4, 2, QStringLiteral("Thermiken nach mittlerem Steigen [m/s]"));
  if (classes.empty()) {
    canvas.textOut(4, 24, QStringLiteral("keine Thermik"));
    return;
  }
  // Room for the title and the counts above, the class bounds below.
  constexpr int kTop = 38, kBottomRoom = 18, kLeft = 6;
  const int base = image.height() - kBottomRoom;
  const int slot = std::max(4, (image.width() - 2 * kLeft) / int(classes.size()));
  int most = 1;
  for (const ClimbClass& c : classes) most = std::max(most, c.count);
  canvas.setPenColor(colours::kBlack);
  canvas.moveTo(kLeft, base);
  canvas.lineTo(kLeft + slot * int(classes.size()), base);
  for (size_t k = 0; k < classes.size(); ++k) {
    const int left = kLeft + slot * int(k);
    const int top = base - int(double(classes[k].count) / most * std::max(base - kTop, 1));
    canvas.setBrushColor(kClimbBarColour);
    if (classes[k].count > 0) canvas.fillRect(left + 2, top, left + slot - 2, base);
    canvas.setBrushColor(colours::kWhite);
    if (classes[k].count > 0) canvas.textOut(left + 2, top - 16, QString::number(classes[k].count));
    QString from = QString::number(classes[k].from, 'f', 1);
    canvas.textOut(left + 2, base + 2, from.replace(QLatin1Char('.'), decimalSeparator()));
  }
}

}  // namespace

QImage climbHistogramPicture(const std::vector<ClimbClass>& classes, int width, int height) {
  QImage image(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
  drawHistogram(image, classes);  // the canvas has written every pixel when it is gone
  return image;
}

}  // namespace trelvano
