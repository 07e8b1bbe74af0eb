#include "params/ParameterEditor.h"

#include "import/ChannelConversion.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTableWidget>

namespace trelvano {

namespace {

const int kColumnWidths[kGridColumns] = {60, 116, 62, 70, 62, 62, 29};
constexpr int kRowHeight = 24;
constexpr int kPanelLeft = 512;
constexpr int kPanelTop = 64;

// The string grid: reports the chosen cell by mouse or keyboard, and also a
// click on the cell that is current already (after "O.K." the same cell
// brings its panel back). The fixed first row and column cannot be chosen.
class CellGrid : public QTableWidget {
 public:
  CellGrid(int rows, int columns, QWidget* parent) : QTableWidget(rows, columns, parent) {}
  std::function<void(int column, int row)> onSelect;
  bool quiet = false;  // set while the program moves the current cell

 protected:
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override {
    QTableWidget::currentChanged(current, previous);
    if (!quiet && current.isValid() && onSelect) onSelect(current.column(), current.row());
  }
  void mousePressEvent(QMouseEvent* e) override {
    const QModelIndex before = currentIndex();
    QTableWidget::mousePressEvent(e);
    const QModelIndex at = indexAt(e->position().toPoint());
    if (at.isValid() && at == before && at == currentIndex() && onSelect) onSelect(at.column(), at.row());
  }
};

}  // namespace

ParameterEditor::ParameterEditor(ParamEditorTargets targets, GuardedRunner run, QWidget* parent)
    : QDialog(parent), core_(std::move(targets)), run_(std::move(run)) {
  setObjectName(QStringLiteral("ParamForm"));
  setWindowTitle(QStringLiteral("Parametereditor"));
  setAttribute(Qt::WA_WindowPropagation);  // the main window's font
  setFixedSize(644, 452);

  buildGrid();

  kindGroup_ = new QGroupBox(QStringLiteral("Art"), this);
  kindGroup_->setObjectName(QStringLiteral("RadioGroup1"));
  kindGroup_->setGeometry(kPanelLeft, kPanelTop, 105, 145);
  kindButtons_ = new QButtonGroup(kindGroup_);
  for (int k = kKindKeine; k <= kKindDrehzahl; ++k) {
    auto* item = new QRadioButton(channelKindName(k), kindGroup_);
    item->setObjectName(QStringLiteral("RadioGroup1Item%1").arg(k));
    item->setGeometry(8, 20 + 24 * k, 90, 20);
    kindButtons_->addButton(item, k);
  }
  connect(kindButtons_, &QButtonGroup::idClicked, this,
          [this](int index) { handle([&] { core_.chooseKind(index); }); });

  using C = ParamEditorController;
  const struct {
    QGroupBox** box;
    QLineEdit** field;
    const char *boxName, *title, *fieldName;
    void (C::*change)(const QString&);
    const char* okName;
    void (C::*ok)();
  } panels[] = {
      {&GroupBoxName_, &EditName_, "GroupBoxName", "Name", "EditName", &C::nameEdited, "ButtonName", &C::acceptName},
      {&GroupBoxOffset_, &EditOffset_, "GroupBoxOffset", "Offset", "EditOffset", &C::offsetEdited, "ButtonOffOK",
       &C::acceptOffset},
      {&GroupBoxKoeff_, &EditKoeff_, "GroupBoxKoeff", "Koeffizient", "EditKoeff", &C::coefficientEdited,
       "ButtonKoeffOK", &C::acceptCoefficient},
      {&GroupBoxStart_, &EditStart_, "GroupBoxStart", "Startwert", "EditStart", &C::startValueEdited, "ButtonStartOK",
       &C::acceptStartValue},
  };
  for (const auto& p : panels) {
    const int extra = p.box == &GroupBoxOffset_ ? 40 : 0;  // room for "Anfangswert"
    *p.box = makePanel(p.boxName, QLatin1String(p.title), 105 + extra);
    *p.field = makeField(*p.box, p.fieldName, p.change);
    QPushButton* ok = makeButton(*p.box, p.okName, QStringLiteral("O.K."), {16, 64 + extra, 75, 25}, p.ok);
    connect(*p.field, &QLineEdit::returnPressed, ok, &QPushButton::click);  // Enter acts as "O.K."
  }
  makeButton(GroupBoxOffset_, "ButtonOffAnfang", QStringLiteral("Anfangswert"), {8, 64, 89, 25},
             &C::offsetFromFirstSample);

  makeButton(this, "Button3", QStringLiteral("laden"), {512, 280, 75, 25}, &C::loadTable);
  makeButton(this, "Button2", QStringLiteral("speichern"), {512, 328, 75, 25}, &C::saveTable);
  QPushButton* fertig = makeButton(this, "Button1", QStringLiteral("Fertig"), {512, 376, 75, 25}, nullptr);
  connect(fertig, &QPushButton::clicked, this, &QDialog::accept);

  LabelTemp_ = new QLabel(this);
  LabelTemp_->setObjectName(QStringLiteral("LabelTemp"));
  LabelTemp_->setToolTip(QStringLiteral("Lufttemperatur"));
  LabelTemp_->setGeometry(32, 392, 62, 16);
  TrackBarTemp_ = new QSlider(Qt::Horizontal, this);
  TrackBarTemp_->setObjectName(QStringLiteral("TrackBarTemp"));
  TrackBarTemp_->setGeometry(96, 384, 393, 33);
  TrackBarTemp_->setRange(kTempMin, kTempMax);
  TrackBarTemp_->setTickPosition(QSlider::TicksBelow);
  TrackBarTemp_->setTickInterval(1);
  TrackBarTemp_->setPageStep(2);
  TrackBarTemp_->setValue(core_.TrackBarTemp);
  connect(TrackBarTemp_, &QSlider::valueChanged, this,
          [this](int position) { handle([&] { core_.temperatureMoved(position); }); });

  handle([this] { core_.UpdateGrid(); });
}

QGroupBox* ParameterEditor::makePanel(const char* objectName, const QString& title, int height) {
  auto* panel = new QGroupBox(title, this);
  panel->setObjectName(QLatin1String(objectName));
  panel->setGeometry(kPanelLeft, kPanelTop, 105, height);
  return panel;
}

// Every change of the text goes to the core, the program's own included.
QLineEdit* ParameterEditor::makeField(QGroupBox* panel, const char* objectName,
                                      void (ParamEditorController::*change)(const QString&)) {
  auto* field = new QLineEdit(panel);
  field->setObjectName(QLatin1String(objectName));
  field->setGeometry(8, 24, 89, 21);
  connect(field, &QLineEdit::textChanged, this,
          [this, change](const QString& text) { handle([&] { (core_.*change)(text); }); });
  return field;
}

// No button is a default button: Enter in a field must not press "laden" or "Fertig".
QPushButton* ParameterEditor::makeButton(QWidget* parent, const char* objectName, const QString& caption,
                                         QRect geometry, void (ParamEditorController::*click)()) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(QLatin1String(objectName));
  button->setGeometry(geometry);
  button->setAutoDefault(false);
  if (click) connect(button, &QPushButton::clicked, this, [this, click] { handle([&] { (core_.*click)(); }); });
  return button;
}

void ParameterEditor::buildGrid() {
  auto* grid = new CellGrid(kGridRows, kGridColumns, this);
  StringGrid1_ = grid;
  grid->setObjectName(QStringLiteral("StringGrid1"));
  grid->setToolTip(QStringLiteral("Anklicken zum Ändern"));
  grid->setGeometry(24, 16, 465, 353);
  grid->horizontalHeader()->hide();
  grid->verticalHeader()->hide();
  grid->verticalHeader()->setMinimumSectionSize(kRowHeight);
  grid->verticalHeader()->setDefaultSectionSize(kRowHeight);
  for (int c = 0; c < kGridColumns; ++c) grid->setColumnWidth(c, kColumnWidths[c]);
  grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid->setSelectionMode(QAbstractItemView::SingleSelection);
  grid->setTabKeyNavigation(false);
  const QPalette pal = grid->palette();
  for (int r = 0; r < kGridRows; ++r)
    for (int c = 0; c < kGridColumns; ++c) {
      auto* item = new QTableWidgetItem;
      if (r == 0 || c == 0) {
        // Fixed cells: disabled, so neither mouse nor keyboard can make them current.
        item->setFlags(Qt::NoItemFlags);
        item->setBackground(pal.button());
        item->setForeground(pal.buttonText());
      } else {
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
      }
      grid->setItem(r, c, item);
    }
  // The first data cell is current from the start, without a selection.
  grid->quiet = true;
  grid->setCurrentCell(1, 1, QItemSelectionModel::NoUpdate);
  grid->quiet = false;
  grid->onSelect = [this](int column, int row) { selectCell(column, row); };
}

void ParameterEditor::handle(const std::function<void()>& handler) {
  run_(handler);
  showState();
}

void ParameterEditor::selectCell(int column, int row) {
  handle([&] { core_.selectCell(column, row); });
  focusPanel();
}

// The shown panel takes the input focus; a field's text is selected whole, so
// typing replaces it.
void ParameterEditor::focusPanel() {
  QLineEdit* field = nullptr;
  switch (core_.panel) {
    case EditPanel::Name: field = EditName_; break;
    case EditPanel::Offset: field = EditOffset_; break;
    case EditPanel::Koeff: field = EditKoeff_; break;
    case EditPanel::Start: field = EditStart_; break;
    case EditPanel::Kind: {
      QAbstractButton* item = kindButtons_->checkedButton();
      (item ? item : kindButtons_->button(0))->setFocus();
      return;
    }
    case EditPanel::None: return;
  }
  field->setFocus();
  field->selectAll();
}

void ParameterEditor::showState() {
  const ParamEditorController& c = core_;
  for (int r = 0; r < kGridRows; ++r)
    for (int col = 0; col < kGridColumns; ++col) {
      QTableWidgetItem* item = StringGrid1_->item(r, col);
      if (item->text() != c.cells[r][col]) item->setText(c.cells[r][col]);
    }
  LabelTemp_->setText(c.LabelTemp);
  if (TrackBarTemp_->value() != c.TrackBarTemp) {
    const QSignalBlocker block(TrackBarTemp_);
    TrackBarTemp_->setValue(c.TrackBarTemp);
  }

  // Only a text that differs is set, so the cursor stays where the user types.
  const std::pair<QLineEdit*, const QString*> fields[] = {
      {EditName_, &c.EditName}, {EditOffset_, &c.EditOffset}, {EditKoeff_, &c.EditKoeff}, {EditStart_, &c.EditStart}};
  for (const auto& [field, text] : fields)
    if (field->text() != *text) {
      const QSignalBlocker block(field);
      field->setText(*text);
    }

  if (QAbstractButton* item = kindButtons_->button(c.RadioGroup1Index)) {
    item->setChecked(true);
  } else if (QAbstractButton* checked = kindButtons_->checkedButton()) {
    kindButtons_->setExclusive(false);  // an exclusive group cannot be cleared otherwise
    checked->setChecked(false);
    kindButtons_->setExclusive(true);
  }
  kindGroup_->setEnabled(c.kindGroupEnabled);

  kindGroup_->setVisible(c.panel == EditPanel::Kind);
  GroupBoxName_->setVisible(c.panel == EditPanel::Name);
  GroupBoxOffset_->setVisible(c.panel == EditPanel::Offset);
  GroupBoxKoeff_->setVisible(c.panel == EditPanel::Koeff);
  GroupBoxStart_->setVisible(c.panel == EditPanel::Start);
}

}  // namespace trelvano
