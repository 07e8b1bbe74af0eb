// "Info" → "Flugphasen…" in the main window: the tables, a row click, the CSV
// export, the "Wertung" tab with its league kept between runs.
#include "WindowFixture.h"

#include "app/FlightPhasesWindow.h"
#include "chart/ChartWindow.h"
#include "common/TestPaths.h"

#include <QComboBox>
#include <QLabel>
#include <QSettings>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

namespace flight_phases_window_test {

using namespace trelvano;

namespace {

TEST(FlightPhasesWindow, RowClickSelectsTheThermalAndTheTableExportsAsCsv) {
  Window w;
  w.form->startUp(QStringLiteral("/nonexistent/default.par"),
                  {dataPath(QStringLiteral("igc/crlf-greenwich-crossing-lx8000.igc"))});
  w.item("FlugphasenFenster1")->trigger();
  auto* window = w.form->findChild<trelvano::FlightPhasesWindow*>(QStringLiteral("FlightPhasesWindow"));
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  auto* thermals = window->findChild<QTableWidget*>(QStringLiteral("FlightPhasesTable0"));
  ASSERT_NE(thermals, nullptr);
  const FlightData& data = w.form->core().data;
  ASSERT_EQ(thermals->rowCount(), int(data.Analysis.thermals.size()));
  ASSERT_GT(thermals->rowCount(), 2);

  // A click on the third thermal: its section, the cursor at its start.
  const QRect cell = thermals->visualItemRect(thermals->item(2, 1));
  QTest::mouseClick(thermals->viewport(), Qt::LeftButton, {}, cell.center());
  EXPECT_EQ(data.RangeStart, data.Analysis.thermals[2].from);
  EXPECT_EQ(data.RangeEnd, data.Analysis.thermals[2].to + 1);
  EXPECT_EQ(data.CursorPoint, data.RangeStart);

  // "Summen" with the take-off's clock, and the thermals' climbs as a bar chart beside it.
  auto* totals = window->findChild<QTableWidget*>(QStringLiteral("FlightPhasesTable2"));
  ASSERT_NE(totals, nullptr);
  EXPECT_EQ(totals->item(1, 0)->text(), QStringLiteral("Start"));
  EXPECT_TRUE(totals->item(1, 1)->text().startsWith(QStringLiteral("09:41:25 UTC")))
      << totals->item(1, 1)->text().toStdString();
  auto* histogram = window->findChild<QLabel*>(QStringLiteral("FlightPhasesHistogram"));
  ASSERT_NE(histogram, nullptr);
  EXPECT_FALSE(histogram->pixmap().isNull());

  // The task tab as CSV through the save dialog.
  window->findChild<QTabWidget*>(QStringLiteral("FlightPhasesTabs"))->setCurrentIndex(int(trelvano::PhasesTable::Task));
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("aufgabe.csv"));
  w.dialogs->answers = {path};
  window->findChild<QPushButton*>(QStringLiteral("FlightPhasesCsv"))->click();
  ASSERT_TRUE(w.errors.isEmpty()) << w.errors.join('\n').toStdString();
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray csv = file.readAll();
  EXPECT_TRUE(csv.startsWith("\xEF\xBB\xBFNr.;Name;"));
  EXPECT_TRUE(csv.contains("FWL-Feltwell"));
  EXPECT_TRUE(w.dialogs->calls.back().initialName.endsWith("/crlf-greenwich-crossing-lx8000-flugphasen.csv"));

  // "Grafik…": the chart of this IGC flight, which the menu does not offer.
  const size_t charts = w.form->chartWindows().size();
  window->findChild<QPushButton*>(QStringLiteral("FlightPhasesChart"))->click();
  ASSERT_EQ(w.form->chartWindows().size(), charts + 1);
  EXPECT_TRUE(w.form->chartWindows().back()->isVisible());

  // The same window comes back on the next choice.
  window->hide();
  w.item("FlugphasenFenster1")->trigger();
  EXPECT_EQ(w.form->findChildren<QWidget*>(QStringLiteral("FlightPhasesWindow")).size(), 1);
  EXPECT_TRUE(window->isVisible());
}

// Opening "Wertung" scores the flight in the background; the best row is
// marked and its route drawn, a click on another row draws that one; the
// league chosen comes back in the next run; Esc stops a search.
TEST(FlightPhasesWindow, WertungScoresInTheBackgroundAndKeepsItsLeague) {
  QTemporaryDir dir;
  QSettings settings(dir.filePath(QStringLiteral("Trelvano.conf")), QSettings::IniFormat);
  {
    Window w;
    w.form->keepBetweenRuns(&settings);
    w.form->startUp(QStringLiteral("/nonexistent/default.par"),
                    {dataPath(QStringLiteral("igc/crlf-southern-midnight-newzealand.igc"))});
    w.item("FlugphasenFenster1")->trigger();
    auto* window = w.form->findChild<trelvano::FlightPhasesWindow*>(QStringLiteral("FlightPhasesWindow"));
    auto* tabs = window->findChild<QTabWidget*>(QStringLiteral("FlightPhasesTabs"));
    tabs->setCurrentIndex(tabs->count() - 1);
    EXPECT_EQ(tabs->tabText(tabs->currentIndex()), QStringLiteral("Wertung"));
    const FlightScoring& scoring = w.form->core().scoring;
    EXPECT_TRUE(scoring.running());
    ASSERT_TRUE(QTest::qWaitFor([&] { return scoring.score().has_value(); }, 60000));
    auto* table = window->findChild<QTableWidget*>(QStringLiteral("ScoreTable"));
    ASSERT_EQ(table->rowCount(), 5);
    EXPECT_EQ(table->item(4, 0)->text(), QStringLiteral("★"));
    EXPECT_EQ(table->item(4, 1)->text(), QStringLiteral("Geschlossenes FAI-Dreieck"));
    const FlightData& data = w.form->core().data;
    EXPECT_EQ(data.ScoreRoute.legs.size(), 4u);  // the triangle, closed
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualItemRect(table->item(0, 1)).center());
    EXPECT_EQ(data.ScoreRoute.legs.size(), 5u);  // the free distance: start, three turnpoints, finish
    EXPECT_TRUE(data.ScoreRoute.gap.empty());

    auto* league = window->findChild<QComboBox*>(QStringLiteral("ScoreLeague"));
    league->setCurrentIndex(league->findText(QStringLiteral("OLC")));
    emit league->activated(league->currentIndex());
    EXPECT_EQ(QLatin1String(scoring.league().key), QLatin1String("olc"));
    EXPECT_TRUE(scoring.running());  // the tab is in front: scored at once
    QTest::keyClick(window, Qt::Key_Escape);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !scoring.running(); }, 60000));
    EXPECT_TRUE(w.errors.isEmpty()) << w.errors.join('\n').toStdString();
  }
  Window again;
  again.form->keepBetweenRuns(&settings);
  EXPECT_EQ(QLatin1String(again.form->core().scoring.league().key), QLatin1String("olc"));
}

}  // namespace

}  // namespace flight_phases_window_test
