#pragma once
// "Info" → "Flugphasen…": the tables of the flight analysis in tabs
// (thermals, glides, totals with the thermals' climbs as a bar chart, wind,
// declared task, launch, engine and events) and the cross-country score
// ("Wertung": the league, a row per flight type, the search's progress; Esc
// or "Abbrechen" stops a running search).
// A click on a row selects its section of the flight and moves the replay
// cursor to its start; "Als CSV exportieren…" writes the shown table,
// "Grafik…" opens a chart window of the flight. Only
// wiring: the texts, the CSV bytes and the sections come from
// overlay/PhasesTable.

#include "app/core/FlightScoring.h"
#include "overlay/PhasesTable.h"

#include <QWidget>
#include <functional>

class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;
class QTableWidget;

namespace trelvano {

class MainWindow;

class FlightPhasesWindow : public QWidget {
 public:
  FlightPhasesWindow(const FlightData& data, QWidget* parent = nullptr);

  // A click on a row of a table hands it to `select`.
  void setRowSelector(std::function<void(PhasesTable table, int row)> select) { select_ = std::move(select); }
  // "Als CSV exportieren…" hands the shown table's bytes to `save`.
  void setCsvSaver(std::function<void(const QByteArray&)> save) { save_ = std::move(save); }
  // "Grafik…" opens a chart window through `open`.
  void setChartOpener(std::function<void()> open) { openChart_ = std::move(open); }
  // What the "Wertung" tab asks of the main window.
  struct ScoreHandlers {
    std::function<void(const QString& league)> league;  // another league chosen (its key)
    std::function<void()> start;                        // "Berechnen": score the flight anew
    std::function<void()> stop;                         // "Abbrechen" or Esc
    std::function<void(int row)> choose;                // a click on a row: draw its route
  };
  void setScoring(const FlightScoring& scoring, ScoreHandlers handlers);
  // "Summen" per loaded flight, shown below the active flight's totals while
  // more than one flight is loaded.
  void setFlightTotals(std::function<TableText()> totals) { flightTotals_ = std::move(totals); }
  // Fills the tables again when the flight was analysed anew since (the main
  // window asks after every command).
  void refresh();
  PhasesTable shownTable() const;
  // Whether the "Wertung" tab is in front of a window on screen.
  bool scoreShown() const;

 protected:
  void showEvent(QShowEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;

 private:
  const FlightData& data_;
  QTabWidget* tabs_;
  QTableWidget* tables_[kPhasesTableCount];
  QLabel* histogram_ = nullptr;  // beside the totals
  void buildScorePage();
  void refreshScore();
  const FlightScoring* scoring_ = nullptr;
  ScoreHandlers scoreHandlers_;
  int scoreTab_ = -1;
  QComboBox* league_ = nullptr;
  QPushButton* scoreButton_ = nullptr;
  QLabel* scoreNote_ = nullptr;
  QTableWidget* scoreTable_ = nullptr;
  uint64_t scoreChanges_ = ~uint64_t(0);
  bool scoreRunning_ = false;
  QTableWidget* flightTotalsTable_ = nullptr;
  std::function<TableText()> flightTotals_;
  void showFlightTotals();
  uint64_t shownVersion_ = ~uint64_t(0);
  std::function<void(PhasesTable, int)> select_;
  std::function<void(const QByteArray&)> save_;
  std::function<void()> openChart_;
};

// Shows the main window's flight phases window, made on first use.
void showFlightPhasesWindow(MainWindow& main);

}  // namespace trelvano
