#pragma once
// The parameter editor without widgets: the texts of the grid, which editing
// panel is shown with the texts of its fields, and the temperature bar. Every
// edit goes straight into the channel table; there is no cancel. The window
// (ParameterEditor) calls these handlers and then shows the values below.

#include "model/FlightData.h"

#include <QString>
#include <functional>

namespace trelvano {

constexpr int kGridColumns = 7;  // "Kanal", the five fields, one empty column
constexpr int kGridRows = 14;    // headings, then channels 0 … 12

enum GridColumn { kColKanal = 0, kColName, kColOffset, kColKoeff, kColStart, kColArt };

// The editing panels share one place; at most one is shown.
enum class EditPanel {
  None,
  Name,    // GroupBoxName
  Offset,  // GroupBoxOffset
  Koeff,   // GroupBoxKoeff
  Start,   // GroupBoxStart
  Kind,    // RadioGroup1
};

constexpr int kTempMin = -10;  // TrackBarTemp, whole °C
constexpr int kTempMax = 35;

// What the editor keeps from one opening to the next.
struct ParamEditorMemory {
  int SelectedChannel = 0;  // grid row minus one
  // The last text of each numeric field that was a number; a text that is not
  // a number puts the field back to it.
  QString LastOffsetText = QStringLiteral("0");
  QString LastKoeffText = QStringLiteral("0");
  QString LastStartText = QStringLiteral("0");
};

// What the editor works on, lent by the main window.
struct ParamEditorTargets {
  FlightData& data;
  ParamEditorMemory& memory;
  std::function<void()> loadParameters;  // the main window's "Parameter" → "laden"
  std::function<void()> saveParameters;  // the main window's "Parameter" → "speichern"
};

class ParamEditorController {
 public:
  explicit ParamEditorController(ParamEditorTargets targets);

  // StringGrid1: [row][column]; row 0 and column 0 are the fixed headings.
  QString cells[kGridRows][kGridColumns];
  QString LabelTemp;
  int TrackBarTemp = 10;  // the bar's position before the first UpdateGrid
  EditPanel panel = EditPanel::None;
  bool kindGroupEnabled = true;
  int RadioGroup1Index = -1;  // the selected kind item, -1 none
  QString EditName, EditOffset, EditKoeff, EditStart;

  // Temperature label and bar, then every cell, from Temperature and the table.
  // Moving the bar runs temperatureMoved, so Temperature becomes whole.
  void UpdateGrid();
  // A cell chosen by mouse or keyboard: hides the panels and shows the one of
  // the column with the row's value in its field.
  void selectCell(int column, int row);

  // Changes of the fields' texts; they act only while their panel is shown.
  void nameEdited(const QString& text);
  void offsetEdited(const QString& text);
  void coefficientEdited(const QString& text);
  void startValueEdited(const QString& text);

  void acceptName();             // "O.K." of "Name"
  void acceptOffset();           // "O.K." of "Offset"
  void acceptCoefficient();      // "O.K." of "Koeffizient"
  void acceptStartValue();       // "O.K." of "Startwert"
  void offsetFromFirstSample();  // "Anfangswert"
  void chooseKind(int index);
  void temperatureMoved(int position);
  void loadTable();  // "laden"
  void saveTable();  // "speichern"

 private:
  struct NumericField;
  static const NumericField kNumericFields[3];  // Offset, Koeffizient, Startwert
  void numericFieldChange(const NumericField& field, const QString& text);
  ChannelParam& selectedRow();

  FlightData& data_;
  ParamEditorMemory& memory_;
  std::function<void()> laden_;
  std::function<void()> speichern_;
};

}  // namespace trelvano
