#pragma once
// The main window's left column: the group boxes "Navigation", "Info",
// "ADCs" and "Misc." and the altitude label below them. Every label is given
// the room of the longest text it can come to show, measured in the window's
// font; the boxes take the height the window gives them.

#include "overlay/SidePanels.h"

class QGroupBox;
class QLabel;
class QWidget;

namespace trelvano {

struct SideColumn {
  QWidget* widget = nullptr;  // holds everything below; fixed width
  QGroupBox* NavGroupBox = nullptr;
  QGroupBox* InfoGroupBox = nullptr;
  QGroupBox* ADCGroupBox = nullptr;
  QGroupBox* MiscGroupBox = nullptr;
  QLabel* entfernungLabel = nullptr;              // the caption "Entfernung:"
  QLabel* navValue[5] = {};                       // Label9, Label10, Label11, Label13, Label15
  QLabel* infoValue[6] = {};                      // LabelDauer … LabelOW
  QLabel* minHeightAboveGroundCaption = nullptr;  // "Min. Höhe über Grund:"
  QLabel* minHeightAboveGround = nullptr;         // LabelHueG
  QLabel* channelCaption[13] = {};                // LabelADC16S … LabelZ2s
  QLabel* channelValue[13] = {};                  // LabelADC16 … LabelEx2
  QLabel* HLabel = nullptr;
};

// Builds the column with the texts of `start`, in the font of `parent`.
SideColumn buildSideColumn(QWidget* parent, const SidePanels& start, const QString& hLabel);

}  // namespace trelvano
