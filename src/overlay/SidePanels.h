#pragma once
// What the side panels, the overlay menu, the replay bar and the legend of
// the main window show, as plain values. The core writes it; the window
// copies it into its widgets after every command.

#include <QImage>
#include <QString>

namespace trelvano {

constexpr int kOverlayItemCount = 7;
constexpr int kModeFlugweg = 3;     // the overlay "Flugweg": the replay
constexpr int kModeFlugphasen = 7;  // the overlay "Flugphasen": circling and gliding
constexpr int kTrackBarMax = 1000;

// Indexes into SidePanels::nav: Label9, Label10, Label11, Label13, Label15.
enum NavLabel { kNavEntfernung = 0, kNavHoehe, kNavSpeed, kNavVario, kNavFlugzeit };
// Indexes into SidePanels::info: LabelDauer, LabelHmax, LabelVmax, LabelVmax3, LabelNS, LabelOW.
enum InfoLabel { kInfoDauer = 0, kInfoHmax, kInfoVmax, kInfoVmax3, kInfoNS, kInfoOW };

struct SidePanels {
  SidePanels();

  // Menu "Overlay": BlauRot1, Geschwindigkeit1, Flugweg1, N25mSchichten1,
  // Energie1, Energiezuwachs1, Flugphasen1 (modes 1 … 7).
  bool overlayChecked[kOverlayItemCount] = {};

  bool infoVisible = true;         // InfoGroupBox
  bool navVisible = false;         // NavGroupBox
  bool adcVisible = false;         // ADCGroupBox
  bool miscVisible = false;        // MiscGroupBox
  bool trackPanelVisible = false;  // TrackPanel
  bool image2Visible = false;      // Image2, the colour legend

  bool timer1Enabled = false;  // 100 ms, "Flugrichtung" animation
  bool timer2Enabled = false;  // 200 ms, replay
  bool replayHeld = false;     // the space bar holds the playing replay; timer 2 then waits
  int replaySpeed = 0;         // index into kReplaySpeeds (ReplayControl.h), 0 = 1×; for the run

  int trackBarPosition = 0;  // TrackBar1, 0 … kTrackBarMax
  // The replay stepped or the user moved the cursor since the last overlay
  // change: open charts mark CursorPoint only then.
  bool cursorPlaced = false;

  // NavGroupBox values: Label9 (Entfernung), Label10 (Höhe), Label11 (V),
  // Label13 (Vario), Label15 (Flugzeit).
  QString nav[5];
  // InfoGroupBox values: LabelDauer, LabelHmax, LabelVmax, LabelVmax3, LabelNS, LabelOW.
  QString info[6];
  // "Min. Höhe über Grund" below them (LabelHueG): the lowest height above
  // the terrain, "123 m"; empty (and hidden) while no terrain lies under the flight.
  QString minHeightAboveGround;
  // Channel pairs 0 … 12: caption labels (LabelADC16S …) and value labels (LabelADC16 …).
  QString channelCaption[13];
  QString channelValue[13];
  bool channelValueVisible[13];

  QImage Image2;  // the legend, 289 × 33 at start
};

}  // namespace trelvano
