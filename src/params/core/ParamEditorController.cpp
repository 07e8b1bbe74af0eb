#include "params/core/ParamEditorController.h"

#include "import/ChannelConversion.h"
#include "model/Numbers.h"

#include <algorithm>
#include <optional>

namespace trelvano {

// One numeric column: its panel, its field's text, the field's last accepted
// text and the table field it writes.
struct ParamEditorController::NumericField {
  EditPanel panel;
  QString ParamEditorController::*text;
  QString ParamEditorMemory::*last;
  double ChannelParam::*value;
};

using C = ParamEditorController;
const C::NumericField C::kNumericFields[3] = {
    {EditPanel::Offset, &C::EditOffset, &ParamEditorMemory::LastOffsetText, &ChannelParam::Offset},
    {EditPanel::Koeff, &C::EditKoeff, &ParamEditorMemory::LastKoeffText, &ChannelParam::Koeffizient},
    {EditPanel::Start, &C::EditStart, &ParamEditorMemory::LastStartText, &ChannelParam::Startwert},
};

namespace {

const char* const kHeadings[kGridColumns] = {"Kanal", "Name", "Offset", "Koeffizient", "Startwert", "Art", ""};

std::optional<double> numberOf(const QString& text) {
  try {
    return parseFloat(text);
  } catch (const RunError&) {
    return std::nullopt;
  }
}

}  // namespace

ParamEditorController::ParamEditorController(ParamEditorTargets targets)
    : data_(targets.data),
      memory_(targets.memory),
      laden_(std::move(targets.loadParameters)),
      speichern_(std::move(targets.saveParameters)) {}

ChannelParam& ParamEditorController::selectedRow() { return data_.ChannelParams[memory_.SelectedChannel]; }

void ParamEditorController::UpdateGrid() {
  const int64_t degrees = Round(data_.Temperature);
  LabelTemp = QStringLiteral("Temp.: ") + QString::number(degrees) + QStringLiteral("°");
  const int position = static_cast<int>(std::clamp<int64_t>(degrees, kTempMin, kTempMax));
  if (position != TrackBarTemp) {
    TrackBarTemp = position;
    temperatureMoved(position);  // refreshes the grid once more
  }

  for (int c = 0; c < kGridColumns; ++c) cells[0][c] = QString::fromUtf8(kHeadings[c]);
  for (int k = 0; k < kChannelCount; ++k) {
    const ChannelParam& p = data_.ChannelParams[k];
    QString* row = cells[k + 1];
    row[kColKanal] = channelLabel(k);
    row[kColName] = p.Name;
    row[kColOffset] = formatGeneral(p.Offset);
    row[kColKoeff] = formatGeneral(p.Koeffizient);
    row[kColStart] = formatGeneral(p.Startwert);
    row[kColArt] = channelKindName(p.Kind);  // its number for a kind without a name
  }
}

void ParamEditorController::selectCell(int column, int row) {
  kindGroupEnabled = false;
  panel = EditPanel::None;
  memory_.SelectedChannel = std::max(row - 1, 0);
  // The field shows the row's value; the table is written only by later changes.
  switch (column) {
    case kColName:
      EditName = selectedRow().Name;
      panel = EditPanel::Name;
      break;
    case kColOffset:
    case kColKoeff:
    case kColStart: {
      const NumericField& field = kNumericFields[column - kColOffset];
      this->*field.text = formatGeneral(selectedRow().*field.value);
      panel = field.panel;
      memory_.*field.last = QStringLiteral("0");
      break;
    }
    case kColArt: {
      const int32_t kind = selectedRow().Kind;
      RadioGroup1Index = kind >= kKindKeine && kind <= kKindDrehzahl ? kind : -1;
      panel = EditPanel::Kind;
      kindGroupEnabled = true;
      break;
    }
    default: break;
  }
}

void ParamEditorController::nameEdited(const QString& text) {
  EditName = text;
  if (panel != EditPanel::Name) return;
  selectedRow().Name = channelNameFromText(text);
  UpdateGrid();
}

// An empty field becomes "0"; a text that is not a number puts the field back
// to its last accepted text. The table always holds the field's last number.
void ParamEditorController::numericFieldChange(const NumericField& field, const QString& text) {
  this->*field.text = text;
  if (panel != field.panel) return;
  QString accepted = text.isEmpty() ? QStringLiteral("0") : text;
  std::optional<double> value = numberOf(accepted);
  if (!value) {
    accepted = memory_.*field.last;
    value = parseFloat(accepted);
  }
  selectedRow().*field.value = *value;
  memory_.*field.last = accepted;
  this->*field.text = accepted;
  UpdateGrid();
}

void ParamEditorController::offsetEdited(const QString& text) { numericFieldChange(kNumericFields[0], text); }
void ParamEditorController::coefficientEdited(const QString& text) { numericFieldChange(kNumericFields[1], text); }
void ParamEditorController::startValueEdited(const QString& text) { numericFieldChange(kNumericFields[2], text); }

void ParamEditorController::acceptName() {
  panel = EditPanel::None;
  selectedRow().Name = channelNameFromText(EditName);
  UpdateGrid();
}

// The value is stored already; "O.K." only closes the panel.
void ParamEditorController::acceptOffset() {
  panel = EditPanel::None;
  UpdateGrid();
}
void ParamEditorController::acceptCoefficient() { acceptOffset(); }
void ParamEditorController::acceptStartValue() { acceptOffset(); }

// "Anfangswert": the offset that makes the first sample read 0. A "Höhe" row
// adds its first converted height (a whole number); any other row takes the
// first raw value.
void ParamEditorController::offsetFromFirstSample() {
  ChannelParam& p = selectedRow();
  const int channel = memory_.SelectedChannel;
  const double offset = p.Kind == kKindHoehe ? p.Offset + parseInt(ParameterToString(data_, 0, channel))
                                             : data_.ChannelSamples[0][channel];
  p.Offset = offset;
  offsetEdited(formatGeneral(offset));
  UpdateGrid();
}

void ParamEditorController::chooseKind(int index) {
  if (!kindGroupEnabled) return;
  RadioGroup1Index = index;
  panel = EditPanel::None;
  selectedRow().Kind = index;
  UpdateGrid();
}

void ParamEditorController::temperatureMoved(int position) {
  TrackBarTemp = position;
  data_.Temperature = position;
  UpdateGrid();
}

void ParamEditorController::loadTable() {
  laden_();
  UpdateGrid();
}

void ParamEditorController::saveTable() { speichern_(); }

}  // namespace trelvano
