// The options dialog through its check boxes, and the two menu commands.
#include "DialogFixture.h"

#include "params/ParameterEditor.h"
#include "app/MainWindow.h"
#include "options/OptionsDialog.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace options_dialog_test {

using namespace trelvano;

namespace {

struct Options : DialogFixture {
  std::unique_ptr<OptionsDialog> form;

  void open() {
    form =
        std::make_unique<OptionsDialog>(OptionsTargets{data, program.view, program.panels, program.state.hLabel}, run);
    form->show();
  }
  QCheckBox* box(const char* name) const { return childOf<QCheckBox>(form.get(), name); }
  void click(const char* name) const { QTest::mouseClick(box(name), Qt::LeftButton); }
  std::vector<double> altitudes() const {
    std::vector<double> a;
    for (int i = 0; i <= data.LastPoint; ++i) a.push_back(data.FlightPath[i].Altitude);
    return a;
  }
};

}  // namespace

TEST(Options, MapSwitchesAndWhereTheBarometricBoxShows) {
  Options o;
  ASSERT_EQ(o.program.openIgcFile(o.example("rundflug.igc")), LoadStatus::Loaded);
  o.open();
  EXPECT_TRUE(o.box("CheckBoxBaro")->isHidden());
  o.click("CheckBoxStarr");
  EXPECT_FALSE(o.data.HideMapWhileDragging);
  o.click("CheckBoxGrafik");
  EXPECT_FALSE(o.data.FastMapLoading);

  o.loadLoggerFlight();
  o.open();
  EXPECT_FALSE(o.box("CheckBoxBaro")->isHidden());
  EXPECT_FALSE(o.box("CheckBoxStarr")->isChecked());
  EXPECT_FALSE(o.box("CheckBoxGrafik")->isChecked());
}

TEST(Options, WithoutAHeightChannelTheBoxUnticksItself) {
  Options o;
  o.loadLoggerFlight();  // default table: no "Höhe" channel
  o.open();
  const std::vector<double> gps = o.altitudes();
  const long long redraws = o.program.view.redrawCount();
  o.program.panels.info[kInfoHmax].clear();
  o.click("CheckBoxBaro");
  EXPECT_FALSE(o.box("CheckBoxBaro")->isChecked());
  EXPECT_FALSE(o.data.UseBaroAltitude);
  EXPECT_EQ(o.program.state.hLabel, QStringLiteral("Höhe: GPS"));
  EXPECT_EQ(o.altitudes(), gps);
  EXPECT_GT(o.program.view.redrawCount(), redraws);
  EXPECT_FALSE(o.program.panels.info[kInfoHmax].isEmpty());
}

TEST(Options, OpeningWithTheOptionOnRecomputesOnce) {
  Options o;
  o.loadLoggerFlight("default.par");
  const std::vector<double> gps = o.altitudes();
  o.data.UseBaroAltitude = true;
  const long long redraws = o.program.view.redrawCount();
  o.open();
  EXPECT_TRUE(o.box("CheckBoxBaro")->isChecked());
  EXPECT_EQ(o.program.view.redrawCount(), redraws + 1);
  EXPECT_EQ(o.program.state.hLabel, QStringLiteral("Höhe: ADC16"));
  EXPECT_NE(o.altitudes(), gps);
  EXPECT_EQ(o.data.FlightPath[7].Z, o.data.FlightPath[7].Altitude - o.data.FlightPath[0].Altitude);
  EXPECT_TRUE(o.errors.isEmpty());
}

TEST(Options, AFailedRecomputationLeavesTheFlightAndTheOption) {
  Options o;
  o.loadLoggerFlight("default.par");
  o.data.RawSamples[150][0] = 1000000;  // a negative pressure half way
  o.open();
  const std::vector<double> before = o.altitudes();
  const double maxAltitude = o.data.MaxAltitude, z = o.data.FlightPath[200].Z;
  const QString label = o.program.state.hLabel;
  o.click("CheckBoxBaro");
  EXPECT_EQ(o.errors, QStringList{QStringLiteral("Ungültige Gleitkommaoperation")});
  EXPECT_FALSE(o.data.UseBaroAltitude);
  EXPECT_FALSE(o.box("CheckBoxBaro")->isChecked());
  EXPECT_EQ(o.altitudes(), before);
  EXPECT_EQ(o.data.MaxAltitude, maxAltitude);
  EXPECT_EQ(o.data.FlightPath[200].Z, z);
  EXPECT_EQ(o.program.state.hLabel, label);
}

// Each menu choice makes a new modal dialog from the current values and
// destroys it after it closes; no dialog waits hidden.
TEST(MenuCommands, EditorAndOptionsOpenFreshModalDialogs) {
  MainWindow form(std::make_unique<ScriptedDialogs>());
  QStringList errors;
  form.errorGuard().setPresenter([&](const QString& text) { errors << text; });
  form.core().data.Temperature = 12;
  const auto dialogNames = [&] {
    QStringList names;
    for (QDialog* d : form.findChildren<QDialog*>()) names << d->objectName() + (d->isVisible() ? "+" : "");
    return names;
  };
  const QStringList startUp;
  ASSERT_EQ(dialogNames(), startUp);

  const std::pair<const char*, const char*> commands[] = {{"Editieren1", "ParamForm+"}, {"Optionen1", "OptForm+"}};
  QString temperature;  // the editor's, from the current value
  for (const auto& [item, shownName] : commands) {
    SCOPED_TRACE(item);
    QStringList whileOpen;
    QTimer::singleShot(0, [&] {
      whileOpen = dialogNames();
      QWidget* modal = QApplication::activeModalWidget();
      ASSERT_NE(modal, nullptr);
      if (auto* label = modal->findChild<QLabel*>(QStringLiteral("LabelTemp"))) temperature = label->text();
      QTest::mouseClick(modal->findChild<QPushButton*>(QStringLiteral("Button1")), Qt::LeftButton);
    });
    form.findChild<QAction*>(QLatin1String(item))->trigger();
    EXPECT_EQ(whileOpen, startUp + QStringList{shownName});
    EXPECT_EQ(dialogNames(), startUp);
  }
  EXPECT_EQ(temperature, QStringLiteral("Temp.: 12°"));
  EXPECT_TRUE(errors.isEmpty());
}

}  // namespace options_dialog_test
