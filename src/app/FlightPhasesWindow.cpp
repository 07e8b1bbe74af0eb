#include "app/FlightPhasesWindow.h"

#include "chart/ChartWindow.h"
#include "app/MainWindow.h"
#include "app/core/FlightList.h"
#include "overlay/ClimbHistogram.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace trelvano {

FlightPhasesWindow::FlightPhasesWindow(const FlightData& data, QWidget* parent)
    : QWidget(parent, Qt::Window), data_(data) {
  setObjectName(QStringLiteral("FlightPhasesWindow"));
  setWindowTitle(QStringLiteral("Flugphasen"));
  auto* column = new QVBoxLayout(this);
  tabs_ = new QTabWidget(this);
  tabs_->setObjectName(QStringLiteral("FlightPhasesTabs"));
  column->addWidget(tabs_);
  for (int k = 0; k < kPhasesTableCount; ++k) {
    auto* table = new QTableWidget(this);
    table->setObjectName(QStringLiteral("FlightPhasesTable%1").arg(k));
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->verticalHeader()->setVisible(false);
    connect(table, &QTableWidget::cellClicked, this, [this, k](int row, int) {
      if (select_) select_(PhasesTable(k), row);
    });
    tables_[k] = table;
    if (PhasesTable(k) != PhasesTable::Totals) {
      tabs_->addTab(table, QString());
      continue;
    }
    // "Summen": the table, and the thermals' climbs as a small bar chart beside it.
    auto* page = new QWidget(this);
    auto* row = new QHBoxLayout(page);
    row->setContentsMargins(0, 0, 0, 0);
    auto* tablesColumn = new QVBoxLayout;
    tablesColumn->addWidget(table, 1);
    flightTotalsTable_ = new QTableWidget(page);
    flightTotalsTable_->setObjectName(QStringLiteral("FlightTotalsTable"));
    flightTotalsTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    flightTotalsTable_->verticalHeader()->setVisible(false);
    flightTotalsTable_->hide();
    tablesColumn->addWidget(flightTotalsTable_, 1);
    row->addLayout(tablesColumn, 1);
    histogram_ = new QLabel(page);
    histogram_->setObjectName(QStringLiteral("FlightPhasesHistogram"));
    histogram_->setAlignment(Qt::AlignTop);
    row->addWidget(histogram_);
    tabs_->addTab(page, QString());
  }
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  auto* csv = new QPushButton(QStringLiteral("Als CSV exportieren…"), this);
  csv->setObjectName(QStringLiteral("FlightPhasesCsv"));
  connect(csv, &QPushButton::clicked, this, [this] {
    if (save_) save_(tableCsv(phasesTable(data_, shownTable())));
  });
  buttons->addWidget(csv);
  // The chart of the flight, with the wind estimated from its circles: for
  // IGC and GPX flights the menu offers no "Grafik".
  auto* chart = new QPushButton(QStringLiteral("Grafik…"), this);
  chart->setObjectName(QStringLiteral("FlightPhasesChart"));
  connect(chart, &QPushButton::clicked, this, [this] {
    if (openChart_) openChart_();
  });
  buttons->addWidget(chart);
  column->addLayout(buttons);
  resize(980, 480);
}

PhasesTable FlightPhasesWindow::shownTable() const { return PhasesTable(std::max(tabs_->currentIndex(), 0)); }

void FlightPhasesWindow::showFlightTotals() {
  const TableText text = flightTotals_ ? flightTotals_() : TableText{};
  const bool several = text.headers.size() > 2;  // "Größe" and two flights
  flightTotalsTable_->setVisible(several);
  if (!several) return;
  flightTotalsTable_->setColumnCount(int(text.headers.size()));
  flightTotalsTable_->setHorizontalHeaderLabels(text.headers);
  flightTotalsTable_->setRowCount(int(text.rows.size()));
  for (int r = 0; r < int(text.rows.size()); ++r)
    for (int c = 0; c < int(text.rows[size_t(r)].size()); ++c) {
      QTableWidgetItem* item = flightTotalsTable_->item(r, c);
      if (!item) flightTotalsTable_->setItem(r, c, item = new QTableWidgetItem);
      if (item->text() != text.rows[size_t(r)][c]) item->setText(text.rows[size_t(r)][c]);
    }
  flightTotalsTable_->resizeColumnsToContents();
}

void FlightPhasesWindow::refresh() {
  showFlightTotals();
  if (shownVersion_ == data_.Analysis.version) return;
  shownVersion_ = data_.Analysis.version;
  for (int k = 0; k < kPhasesTableCount; ++k) {
    const TableText text = phasesTable(data_, PhasesTable(k));
    QTableWidget* table = tables_[k];
    tabs_->setTabText(k, text.title);
    table->clear();
    table->setColumnCount(int(text.headers.size()));
    table->setHorizontalHeaderLabels(text.headers);
    table->setRowCount(int(text.rows.size()));
    for (int r = 0; r < int(text.rows.size()); ++r)
      for (int c = 0; c < int(text.rows[size_t(r)].size()); ++c)
        table->setItem(r, c, new QTableWidgetItem(text.rows[size_t(r)][c]));
    table->resizeColumnsToContents();
  }
  histogram_->setPixmap(QPixmap::fromImage(climbHistogramPicture(data_.Analysis.totals.climbHistogram, 300, 180)));
}

void FlightPhasesWindow::showEvent(QShowEvent* e) {
  refresh();
  QWidget::showEvent(e);
}

void showFlightPhasesWindow(MainWindow& main) {
  auto* window = main.findChild<FlightPhasesWindow*>(QStringLiteral("FlightPhasesWindow"));
  if (!window) {
    window = new FlightPhasesWindow(main.core().data, &main);
    window->setRowSelector([&main](PhasesTable table, int row) {
      main.handle([&main, table, row] {
        MainController& c = main.core();
        if (!selectRowSection(c.data, table, row)) return;
        c.moveCursorTo(c.data.RangeStart);
        c.view.Grafikupdate();
        for (ChartWindow* chart : main.chartWindows())
          if (chart->isVisible()) chart->handle([chart] { chart->core().GrafikUpdate(); });
      });
    });
    window->setCsvSaver(
        [&main](const QByteArray& bytes) { main.handle([&main, bytes] { main.core().exportPhasesTable(bytes); }); });
    window->setChartOpener([&main] { main.openChart(); });
    window->setFlightTotals([&main] { return flightTotalsTable(main.core().flights); });
  }
  window->refresh();
  window->show();
  window->raise();
}

}  // namespace trelvano
