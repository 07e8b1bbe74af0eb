// The parameter editor driven through its widgets, as a user drives it.
#include "DialogFixture.h"

#include "params/ParameterEditor.h"
#include "import/ChannelConversion.h"
#include "model/Numbers.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

namespace parameter_editor_test {

using namespace trelvano;

namespace {

const char* const kPanels[] = {"GroupBoxName", "GroupBoxOffset", "GroupBoxKoeff", "GroupBoxStart", "RadioGroup1"};

struct Editor : DialogFixture {
  ParamEditorMemory memory;
  std::unique_ptr<ParameterEditor> form;

  Editor() {
    ChannelParam& p = data.ChannelParams[2];  // grid row 3
    p = {12.5, 0.25, QStringLiteral("Druck"), 1013.25, kKindHoehe};
    data.ChannelParams[3].Kind = 7;  // only a file can hold this
    data.ChannelParams[4].Kind = kKindLinear;
    data.ChannelSamples[0][4] = 512;
  }
  void open() {
    form = std::make_unique<ParameterEditor>(
        ParamEditorTargets{data, memory, [this] { program.loadParameters(); }, [this] { program.saveParameters(); }},
        run);
    form->show();
    QApplication::setActiveWindow(form.get());
  }
  template <class T = QWidget>
  T* child(const char* name) const {
    return childOf<T>(form.get(), name);
  }
  QTableWidget* grid() const { return child<QTableWidget>("StringGrid1"); }
  QString cell(int row, int column) const { return grid()->item(row, column)->text(); }
  void clickCell(int column, int row) const {
    const QRect r = grid()->visualItemRect(grid()->item(row, column));
    QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, r.center());
  }
  void click(const char* button) const { QTest::mouseClick(child<QAbstractButton>(button), Qt::LeftButton); }
  // The names of the panels shown.
  QStringList shownPanels() const {
    QStringList shown;
    for (const char* name : kPanels)
      if (child(name)->isVisible()) shown << QLatin1String(name);
    return shown;
  }
};

}  // namespace

TEST(ParamEditor, SelectingACellShowsItsPanelAndWritesNothing) {
  Editor e;
  e.open();
  EXPECT_EQ(e.shownPanels(), QStringList());
  const QStringList row3 = {"AD1", "Druck", "12.5", "0.25", "1013.25", "Höhe", ""};
  for (int c = 0; c < kGridColumns; ++c) EXPECT_EQ(e.cell(3, c), row3[c]) << c;
  EXPECT_EQ(e.cell(4, kColArt), QStringLiteral("7"));

  struct Case {
    int column;
    const char* panel;
    const char* field;
    const char* text;
  };
  const Case cases[] = {
      {kColName, "GroupBoxName", "EditName", "Druck"},     {kColOffset, "GroupBoxOffset", "EditOffset", "12.5"},
      {kColKoeff, "GroupBoxKoeff", "EditKoeff", "0.25"},   {kColStart, "GroupBoxStart", "EditStart", "1013.25"},
      {kColArt, "RadioGroup1", nullptr, nullptr},          {6, nullptr, nullptr, nullptr},
      {kColOffset, "GroupBoxOffset", "EditOffset", "12.5"}};  // again, after the others
  const QByteArray table = parameterFileBytes(e.data.ChannelParams);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.column);
    e.clickCell(c.column, 3);
    EXPECT_EQ(e.memory.SelectedChannel, 2);
    EXPECT_EQ(e.shownPanels(), c.panel ? QStringList{c.panel} : QStringList());
    if (c.field) {
      auto* field = e.child<QLineEdit>(c.field);
      EXPECT_EQ(field->text(), QString::fromUtf8(c.text));
      EXPECT_TRUE(field->hasFocus());
      EXPECT_EQ(field->selectedText(), field->text());  // typing replaces it
    }
  }
  e.click("ButtonOffOK");
  EXPECT_EQ(e.shownPanels(), QStringList());
  e.clickCell(kColOffset, 3);  // the current cell once more
  EXPECT_EQ(e.shownPanels(), QStringList{"GroupBoxOffset"});

  e.clickCell(kColArt, 3);
  EXPECT_TRUE(e.child<QAbstractButton>("RadioGroup1Item2")->isChecked());
  EXPECT_EQ(parameterFileBytes(e.data.ChannelParams), table);

  e.clickCell(kColArt, 4);  // kind 7: no item
  for (int k = 0; k < 5; ++k)
    EXPECT_FALSE(e.child<QAbstractButton>(QStringLiteral("RadioGroup1Item%1").arg(k).toLatin1())->isChecked());
  e.click("RadioGroup1Item3");
  EXPECT_EQ(e.data.ChannelParams[3].Kind, kKindSpeed);
  EXPECT_EQ(e.cell(4, kColArt), QStringLiteral("Speed"));
  EXPECT_EQ(e.shownPanels(), QStringList());
}

// The table always holds the last text of the field that was a number.
TEST(ParamEditor, NumericFieldsRevertToTheLastNumber) {
  constexpr auto kSelectAll = Qt::Key_unknown;
  struct Step {
    Qt::Key move;
    const char* typed;  // "" = Backspace
    const char* shown;
    double stored;
  };
  const Step steps[] = {
      {Qt::Key_End, "x", "0", 0},                                     // the first bad key after selecting the cell: "0"
      {Qt::Key_End, "75", "075", 75}, {Qt::Key_End, "y", "075", 75},  // later: the last number
      {kSelectAll, "-", "075", 75},                                   // a lone minus is no number
      {kSelectAll, "", "0", 0},                                       // emptied
      {Qt::Key_End, "5", "05", 5},    {Qt::Key_Home, "-", "-05", -5},
  };
  const std::pair<const char*, double ChannelParam::*> fields[] = {{"EditOffset", &ChannelParam::Offset},
                                                                   {"EditKoeff", &ChannelParam::Koeffizient},
                                                                   {"EditStart", &ChannelParam::Startwert}};
  Editor e;
  e.open();
  for (int f = 0; f < 3; ++f) {
    e.clickCell(kColOffset + f, 3);
    auto* field = e.child<QLineEdit>(fields[f].first);
    for (const Step& s : steps) {
      SCOPED_TRACE(std::string(fields[f].first) + " " + s.typed);
      if (s.move == kSelectAll)
        field->selectAll();
      else
        QTest::keyClick(field, s.move);
      if (*s.typed)
        QTest::keyClicks(field, QLatin1String(s.typed));
      else
        QTest::keyClick(field, Qt::Key_Backspace);
      EXPECT_EQ(field->text(), QLatin1String(s.shown));
      EXPECT_EQ(e.data.ChannelParams[2].*fields[f].second, s.stored);
      EXPECT_EQ(e.cell(3, kColOffset + f), formatGeneral(s.stored));
    }
  }
  EXPECT_TRUE(e.errors.isEmpty());
}

TEST(ParamEditor, NamesAreCutAndKeptInLatin1) {
  Editor e;
  e.open();
  e.clickCell(kColName, 3);
  auto* field = e.child<QLineEdit>("EditName");
  QTest::keyClicks(field, QStringLiteral("Barometer Nord 12345"));
  EXPECT_EQ(e.data.ChannelParams[2].Name, QStringLiteral("Barometer Nord "));
  EXPECT_EQ(field->text(), QStringLiteral("Barometer Nord 12345"));
  // One "?" for each character outside Latin-1, a character beyond 16 bits included.
  field->setText(QStringLiteral("Sü€\U0001F600") + QStringLiteral("u\u0308"));
  EXPECT_EQ(e.data.ChannelParams[2].Name, QStringLiteral("Sü??ü"));
  EXPECT_EQ(e.cell(3, kColName), QStringLiteral("Sü??ü"));
  e.click("ButtonName");
  EXPECT_EQ(e.shownPanels(), QStringList());
}

TEST(ParamEditor, TemperatureBar) {
  Editor e;
  e.data.Temperature = 40;  // beyond the bar: the bar's end becomes the temperature
  e.open();
  EXPECT_EQ(e.data.Temperature, 35.0);
  EXPECT_EQ(e.child<QLabel>("LabelTemp")->text(), QStringLiteral("Temp.: 35°"));
  e.child<QSlider>("TrackBarTemp")->setValue(30);
  EXPECT_EQ(e.data.Temperature, 30.0);
  EXPECT_EQ(e.child<QLabel>("LabelTemp")->text(), QStringLiteral("Temp.: 30°"));
}

TEST(ParamEditor, AnfangswertMakesTheFirstSampleReadZero) {
  Editor e;
  e.open();
  e.clickCell(kColOffset, 5);  // linear, first raw sample 512
  e.click("ButtonOffAnfang");
  EXPECT_EQ(e.data.ChannelParams[4].Offset, 512.0);
  EXPECT_EQ(e.child<QLineEdit>("EditOffset")->text(), QStringLiteral("512"));
  EXPECT_EQ(e.cell(5, kColOffset), QStringLiteral("512"));
  EXPECT_EQ(e.memory.LastOffsetText, QStringLiteral("512"));

  Editor h;
  h.loadLoggerFlight("default.par");  // ADC16 is a "Höhe" channel
  h.data.ChannelParams[0].Offset = 20;
  h.open();
  const double offset = 20;
  const int32_t firstHeight = parseInt(ParameterToString(h.data, 0, 0));
  ASSERT_NE(firstHeight, 0);
  h.clickCell(kColOffset, 1);
  h.click("ButtonOffAnfang");
  EXPECT_EQ(h.data.ChannelParams[0].Offset, offset + firstHeight);
  EXPECT_EQ(ParameterToString(h.data, 0, 0), QStringLiteral("0"));

  // A height that cannot be computed leaves the offset alone.
  h.data.ChannelSamples[0][0] = 1000000;  // negative pressure
  h.click("ButtonOffAnfang");
  EXPECT_EQ(h.errors, QStringList{QStringLiteral("Ungültige Gleitkommaoperation")});
  EXPECT_EQ(h.data.ChannelParams[0].Offset, offset + firstHeight);
}

TEST(ParamEditor, LoadAndSaveThroughTheFileDialogs) {
  Editor e;
  e.open();
  QTemporaryDir dir;
  const QString saved = dir.filePath(QStringLiteral("saved.par"));
  e.dialogs.answers = {e.example("default.par"), saved};
  e.click("Button3");
  EXPECT_EQ(e.cell(1, kColName), QStringLiteral("Baro"));
  e.clickCell(kColName, 2);
  e.child<QLineEdit>("EditName")->setText(QStringLiteral("Höhe Süd"));
  e.click("Button2");
  ASSERT_EQ(e.dialogs.calls.size(), 2u);
  EXPECT_EQ(e.dialogs.calls[0].title, QStringLiteral("Parameter-Datei laden"));
  EXPECT_EQ(e.dialogs.calls[1].title, QStringLiteral("Parameter-Datei speichern"));
  EXPECT_TRUE(e.dialogs.calls[1].save);

  // The file as read, but for row 1's name: length 8 and its Latin-1 bytes.
  QByteArray expected = readBytes(e.example("default.par"));
  const QByteArray name = QStringLiteral("Höhe Süd").toLatin1();
  expected[48 + 16] = char(name.size());
  expected.replace(48 + 17, name.size(), name);
  EXPECT_EQ(readBytes(saved), expected);
  EXPECT_TRUE(e.errors.isEmpty());
}

}  // namespace parameter_editor_test
