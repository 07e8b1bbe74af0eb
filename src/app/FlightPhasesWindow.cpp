#include "app/FlightPhasesWindow.h"

#include "chart/ChartWindow.h"
#include "app/MainWindow.h"
#include "app/core/FlightList.h"
#include "overlay/ClimbHistogram.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
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
  buildScorePage();
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  auto* csv = new QPushButton(QStringLiteral("Als CSV exportieren…"), this);
  csv->setObjectName(QStringLiteral("FlightPhasesCsv"));
  connect(csv, &QPushButton::clicked, this, [this] {
    if (!save_) return;
    if (tabs_->currentIndex() == scoreTab_ && scoring_) {
      const ScoreTableText score = scoring_->table();
      save_(tableCsv({QStringLiteral("Wertung"), score.headers, score.rows}));
      return;
    }
    save_(tableCsv(phasesTable(data_, shownTable())));
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

PhasesTable FlightPhasesWindow::shownTable() const {
  return PhasesTable(std::clamp(tabs_->currentIndex(), 0, kPhasesTableCount - 1));
}

// "Wertung": the league and the button above the table, a note beneath.
void FlightPhasesWindow::buildScorePage() {
  auto* page = new QWidget(this);
  auto* column = new QVBoxLayout(page);
  auto* row = new QHBoxLayout;
  row->addWidget(new QLabel(QStringLiteral("Liga:"), page));
  league_ = new QComboBox(page);
  league_->setObjectName(QStringLiteral("ScoreLeague"));
  for (const League& l : leagues()) league_->addItem(QString::fromUtf8(l.caption), QString::fromUtf8(l.key));
  connect(league_, &QComboBox::activated, this, [this](int k) {
    if (scoreHandlers_.league) scoreHandlers_.league(league_->itemData(k).toString());
  });
  row->addWidget(league_);
  scoreButton_ = new QPushButton(QStringLiteral("Berechnen"), page);
  scoreButton_->setObjectName(QStringLiteral("ScoreRun"));
  connect(scoreButton_, &QPushButton::clicked, this, [this] {
    auto& handler = scoreRunning_ ? scoreHandlers_.stop : scoreHandlers_.start;
    if (handler) handler();
  });
  row->addWidget(scoreButton_);
  row->addStretch();
  column->addLayout(row);
  scoreTable_ = new QTableWidget(page);
  scoreTable_->setObjectName(QStringLiteral("ScoreTable"));
  scoreTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  scoreTable_->setSelectionBehavior(QAbstractItemView::SelectRows);
  scoreTable_->setSelectionMode(QAbstractItemView::SingleSelection);
  scoreTable_->verticalHeader()->setVisible(false);
  connect(scoreTable_, &QTableWidget::cellClicked, this, [this](int r, int) {
    if (scoreHandlers_.choose) scoreHandlers_.choose(r);
  });
  column->addWidget(scoreTable_, 1);
  scoreNote_ = new QLabel(page);
  scoreNote_->setObjectName(QStringLiteral("ScoreNote"));
  column->addWidget(scoreNote_);
  scoreTab_ = tabs_->addTab(page, QStringLiteral("Wertung"));
  connect(tabs_, &QTabWidget::currentChanged, this, [this](int k) {
    if (k == scoreTab_ && scoring_ && !scoring_->running() && !scoring_->score() && scoreHandlers_.start)
      scoreHandlers_.start();
  });
}

void FlightPhasesWindow::setScoring(const FlightScoring& scoring, ScoreHandlers handlers) {
  scoring_ = &scoring;
  scoreHandlers_ = std::move(handlers);
  refreshScore();
}

bool FlightPhasesWindow::scoreShown() const { return isVisible() && tabs_->currentIndex() == scoreTab_; }

void FlightPhasesWindow::refreshScore() {
  if (!scoring_) return;
  const int league = league_->findData(QString::fromUtf8(scoring_->league().key));
  if (league != league_->currentIndex()) league_->setCurrentIndex(league);
  scoreRunning_ = scoring_->running();
  scoreButton_->setText(scoreRunning_ ? QStringLiteral("Abbrechen") : QStringLiteral("Berechnen"));
  const ScoreTableText text = scoring_->table();
  scoreNote_->setText(text.note);
  if (scoreChanges_ == scoring_->changes()) return;
  scoreChanges_ = scoring_->changes();
  scoreTable_->clear();
  scoreTable_->setColumnCount(int(text.headers.size()));
  scoreTable_->setHorizontalHeaderLabels(text.headers);
  scoreTable_->setRowCount(int(text.rows.size()));
  for (int r = 0; r < int(text.rows.size()); ++r)
    for (int c = 0; c < int(text.rows[size_t(r)].size()); ++c) {
      auto* item = new QTableWidgetItem(text.rows[size_t(r)][c]);
      if (r == text.bestRow) {
        QFont bold = item->font();
        bold.setBold(true);
        item->setFont(bold);
      }
      scoreTable_->setItem(r, c, item);
    }
  scoreTable_->resizeColumnsToContents();
}

void FlightPhasesWindow::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape && scoreRunning_ && scoreHandlers_.stop) {
    scoreHandlers_.stop();
    return;
  }
  QWidget::keyPressEvent(e);
}

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
  refreshScore();
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
    window->setScoring(main.core().scoring, main.scoreHandlers());
    window->setFlightTotals([&main] { return flightTotalsTable(main.core().flights); });
  }
  window->refresh();
  window->show();
  window->raise();
}

}  // namespace trelvano
