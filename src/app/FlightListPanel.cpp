#include "app/FlightListPanel.h"

#include "app/core/FlightList.h"
#include "app/core/MainController.h"
#include "model/RunError.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPixmap>
#include <QTableWidget>
#include <QVBoxLayout>

namespace trelvano {

FlightListPanel::FlightListPanel(MainController& core, std::function<void(const std::function<void()>&)> run,
                                 QWidget* parent)
    : QDockWidget(QStringLiteral("Flüge"), parent), core_(core), run_(std::move(run)) {
  setObjectName(QStringLiteral("FlightList"));
  setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
  auto* body = new QWidget(this);
  auto* layout = new QVBoxLayout(body);
  layout->setContentsMargins(4, 4, 4, 4);
  auto* syncRow = new QHBoxLayout;
  syncRow->addWidget(new QLabel(QStringLiteral("Uhr:"), body));
  sync_ = new QComboBox(body);
  sync_->setObjectName(QStringLiteral("FlightSync"));
  sync_->addItems({QStringLiteral("Gleichzeitig"), QStringLiteral("Gemeinsamer Start")});
  syncRow->addWidget(sync_, 1);
  layout->addLayout(syncRow);
  table_ = new QTableWidget(0, kListColumns, body);
  table_->setObjectName(QStringLiteral("FlightTable"));
  table_->setHorizontalHeaderLabels(flightListHeaders());
  table_->verticalHeader()->hide();
  table_->setSelectionMode(QAbstractItemView::NoSelection);
  table_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
  table_->setContextMenuPolicy(Qt::CustomContextMenu);
  layout->addWidget(table_);
  setWidget(body);

  connect(sync_, &QComboBox::activated, this, [this](int index) {
    run_([this, index] {
      core_.flights.setSync(index == 0 ? ClockSync::SameTime : ClockSync::CommonStart);
      core_.view.Grafikupdate();
    });
  });
  connect(table_, &QTableWidget::cellClicked, this, [this](int row, int column) {
    if (column == kListShown || column == kListOffset) return;
    run_([this, row] { chooseActiveFlight(core_, row); });
  });
  connect(table_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
    if (filling_) return;
    const int row = item->row();
    if (item->column() == kListShown) {
      const bool shown = item->checkState() == Qt::Checked;
      run_([this, row, shown] {
        core_.flights.setVisible(row, shown);
        core_.view.Grafikupdate();
      });
    } else if (item->column() == kListOffset) {
      editOffset(row);
    }
  });
  connect(table_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    const int row = table_->rowAt(at.y());
    if (row < 0) return;
    QMenu menu(this);
    QAction* remove = menu.addAction(QStringLiteral("Entfernen"));
    if (menu.exec(table_->viewport()->mapToGlobal(at)) != remove) return;
    run_([this, row] {
      core_.removeFlight(row);
      core_.view.Grafikupdate();
    });
  });
  hide();
}

void FlightListPanel::editOffset(int row) {
  const QString text = table_->item(row, kListOffset)->text();
  run_([this, row, text] {
    const std::optional<double> seconds = parseOffset(text);
    if (!seconds) throw RunError::invalidFloat(text);
    core_.flights.setOffset(row, *seconds);
    core_.view.Grafikupdate();
  });
}

void FlightListPanel::refresh() {
  const FlightSet& flights = core_.flights;
  const bool wanted = flights.count() > 1;
  if (isHidden() == wanted) setVisible(wanted);
  if (!wanted) return;
  filling_ = true;
  sync_->setCurrentIndex(flights.sync() == ClockSync::SameTime ? 0 : 1);
  const std::vector<FlightListRow> rows = flightListRows(flights);
  table_->setRowCount(int(rows.size()));
  for (int r = 0; r < int(rows.size()); ++r) {
    const FlightListRow& row = rows[size_t(r)];
    for (int c = 0; c < kListColumns; ++c) {
      QTableWidgetItem* item = table_->item(r, c);
      if (!item) {
        item = new QTableWidgetItem;
        table_->setItem(r, c, item);
      }
      Qt::ItemFlags flags = Qt::ItemIsEnabled;
      if (c == kListShown) flags |= Qt::ItemIsUserCheckable;
      if (c == kListOffset) flags |= Qt::ItemIsEditable;
      item->setFlags(flags);
      // An offset being typed stays as typed.
      if (!(c == kListOffset && table_->currentItem() == item && table_->isPersistentEditorOpen(item)) &&
          item->text() != row.texts[c])
        item->setText(row.texts[c]);
      QFont font = item->font();
      font.setBold(row.active);
      item->setFont(font);
    }
    QTableWidgetItem* shown = table_->item(r, kListShown);
    shown->setCheckState(row.visible ? Qt::Checked : Qt::Unchecked);
    QPixmap swatch(12, 12);
    swatch.fill(QColor::fromRgb(row.colour));
    shown->setIcon(QIcon(swatch));
    shown->setToolTip(row.active ? QStringLiteral("aktiver Flug") : QString());
  }
  table_->resizeColumnsToContents();
  filling_ = false;
}

}  // namespace trelvano
