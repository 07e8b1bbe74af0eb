// "Info" → "Flugphasen…" in the main window: the tables, a row click, the CSV export.
#include "WindowFixture.h"

#include "app/FlightPhasesWindow.h"
#include "chart/ChartWindow.h"
#include "common/TestPaths.h"

#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

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

}  // namespace
