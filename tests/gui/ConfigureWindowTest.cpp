// The configure window offscreen over a fake channel: the traffic of opening,
// closing and selecting pages, the live update, the pages the features word
// shows, the features write, the Scaling shortcuts and the language rows.

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <cmath>
#include <map>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include "app/QtGauge.h"
#include "app/Unit9.h"
#include "config/QtRadioGroup.h"
#include "tests/gui/ConfigureWindowFixture.h"

namespace {

std::string LiveBody(const std::string& coarse, const std::string& fine, const std::string& oil,
                     const std::string& status) {
  return "a," + coarse + "," + fine + "," + oil + ",1,2,3,4,5,6,7,8,9,a,b,c,d,e," + status;
}

using ConfigureWindowTest = ConfigureWindowFixture;

TEST_F(ConfigureWindowTest, OpeningUnlocksReadsFeaturesAndStartsConfiguringWithoutPageReads) {
  Open(0x0040);
  EXPECT_EQ(Sent(), (std::vector<std::string>{"", "U 5E2B", "R 001e 02", "cs"}));
  EXPECT_EQ(Pages()->currentWidget(), Child("TabType"));
  EXPECT_FALSE(form.LiveUpdateRunning());
  EXPECT_FALSE(Child("rgApplication")->isEnabled());
  EXPECT_FALSE(Child("rgAnalogType")->isEnabled());
  EXPECT_TRUE(Child("rgDiTempChannel")->isEnabled());
  EXPECT_EQ(form.FeaturesWord(), 0x0040);
  EXPECT_EQ(Child<QtRadioGroup>("rgAnalogType")->itemIndex(), 0);
  EXPECT_TRUE(user.statusPollRunning);
  EXPECT_TRUE(user.messages.empty());
}

// Relative luminance of a colour, for contrast ratios.
double Luminance(const QColor& c) {
  const auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
  return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

TEST_F(ConfigureWindowTest, TheDisabledSensorTypeGroupsStayReadable) {
  Open(0x00C0);
  for (const char* name : {"rgApplication", "rgAnalogType"}) {
    SCOPED_TRACE(name);
    auto* group = Child<QtRadioGroup>(name);
    ASSERT_FALSE(group->isEnabled());
    // The darkest pixel of the drawn group is its text; the commonest, the page.
    const QImage image = group->grab().toImage();
    std::map<QRgb, int> counts;
    QColor darkest(Qt::white);
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        const QColor c = image.pixelColor(x, y);
        ++counts[c.rgb()];
        if (Luminance(c) < Luminance(darkest)) darkest = c;
      }
    }
    const auto background = std::max_element(counts.begin(), counts.end(),
                                              [](const auto& a, const auto& b) { return a.second < b.second; });
    const double l1 = Luminance(QColor::fromRgb(background->first));
    const double l2 = Luminance(darkest);
    EXPECT_GE((l1 + 0.05) / (l2 + 0.05), 3.0) << darkest.name().toStdString();
  }
}

TEST_F(ConfigureWindowTest, ClosingEndsConfiguringAndLocks) {
  Open(0x0040);
  Sent();
  form.close();
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(Sent(), (std::vector<std::string>{"ce", "", "U 1"}));
  EXPECT_TRUE(user.statusPollRunning);
}

TEST_F(ConfigureWindowTest, ReopeningSelectsSensorTypeWithoutPageReads) {
  Open(0x0040);
  SelectPage("TabDebris");
  form.close();
  Sent();
  form.show();
  EXPECT_EQ(Sent(), (std::vector<std::string>{"", "U 5E2B", "R 001e 02", "cs"}));
  EXPECT_EQ(Pages()->currentWidget(), Child("TabType"));
  EXPECT_FALSE(form.LiveUpdateRunning());
}

TEST_F(ConfigureWindowTest, AnUnacknowledgedStartStillOpensTheWindow) {
  sensor.SetAcknowledges(false);
  Open(0x0040);
  EXPECT_TRUE(form.isVisible());
  ASSERT_EQ(user.messages.size(), 1u);
  EXPECT_EQ(user.messages[0].entry, 176);
  const std::vector<std::string> sent = Sent();
  EXPECT_EQ(std::count(sent.begin(), sent.end(), "cs"), 4);
}

TEST_F(ConfigureWindowTest, DebrisPageReadsItsRegistersAndFollowsTheSensorLive) {
  sensor.Set16(0x0004, 250);
  sensor.Set16(0x0006, 750);
  sensor.Set16(0x003A, 0xFFF6);
  sensor.Set16(0x003C, 12);
  Open(0x0040);
  Sent();
  SelectPage("TabDebris");
  EXPECT_EQ(Sent(), (std::vector<std::string>{"R 0004 02", "R 0006 02", "R 003a 02", "R 003c 02"}));
  EXPECT_EQ(Text("Edit2"), "250");
  EXPECT_EQ(Text("Edit4"), "750");
  EXPECT_EQ(Text("Edit41"), "-10");
  EXPECT_EQ(Text("Edit43"), "12");
  ASSERT_TRUE(form.LiveUpdateRunning());
  EXPECT_EQ(Child<QTimer>("Timer1")->interval(), 500);

  auto* coarse = Child<QtGauge>("GaugeCoarse");
  auto* fine = Child<QtGauge>("GaugeFine");
  const QColor red(255, 0, 0);
  const QColor yellow(255, 255, 0);
  LiveReply(TextReply(LiveBody("96", "63", "402", "2"), 93));
  LiveTick();
  EXPECT_EQ(Sent(), std::vector<std::string>{"a"});
  EXPECT_EQ(coarse->Progress(), 100);
  EXPECT_EQ(coarse->ForeColor(), red);
  EXPECT_EQ(fine->Progress(), 99);
  EXPECT_EQ(fine->ForeColor(), yellow);
  EXPECT_EQ(Text("Edit40"), "1001");
  EXPECT_EQ(Child("Edit40")->palette().color(QPalette::Base), QColor(255, 0, 0));

  // A reply one byte short changes nothing.
  LiveReply(TextReply(LiveBody("10", "10", "400", "0"), 92));
  LiveTick();
  EXPECT_EQ(coarse->Progress(), 100);
  EXPECT_EQ(Text("Edit40"), "1001");

  LiveReply(TextReply(LiveBody("10", "10", "400", "0"), 93));
  LiveTick();
  EXPECT_EQ(coarse->Progress(), 16);
  EXPECT_EQ(Text("Edit40"), "1000");
  EXPECT_EQ(Child("Edit40")->palette().color(QPalette::Base), QColor(0, 128, 0));

  SelectPage("TabType");
  EXPECT_FALSE(form.LiveUpdateRunning());
  Sent();
  SelectPage("TabDebris");
  form.close();
  EXPECT_FALSE(form.LiveUpdateRunning());
}

TEST_F(ConfigureWindowTest, PagesReadTheirRegistersInOrder) {
  struct Case {
    const char* page;
    std::vector<std::string> reads;
    bool live;
  };
  const Case cases[] = {
      {"TabOil", {"R 0022 02", "R 0026 02", "R 0028 02", "R 0024 02"}, true},
      {"TabAnalog", {"R 000e 02", "R 000c 02", "R 0010 02", "R 002a 02"}, false},
      {"TabTemperature", {"R 002c 02", "R 002e 02", "R 0030 02", "R 0032 02"}, false},
      {"TabMODBUS",
       {"R 00d0 02", "R 00d4 04", "R 00d2 02", "R 00d8 04", "R 00dc 04", "R 00e0 04", "R 00e4 04", "R 00e8 04",
        "R 00ec 04", "R 00f0 04", "R 00f4 04"},
       false},
  };
  // MODBUS output with the inhibit bit: every one of these pages is shown.
  Open(0x0801 | 0x0040);
  for (const Case& c : cases) {
    Sent();
    SelectPage(c.page);
    EXPECT_EQ(Sent(), c.reads) << c.page;
    EXPECT_EQ(form.LiveUpdateRunning(), c.live) << c.page;
  }
}

TEST_F(ConfigureWindowTest, TemperatureLabelsFollowTheChannelMode) {
  sensor.Set16(0x0030, static_cast<std::uint16_t>(-40));
  sensor.Set16(0x0032, 80 * 16);
  Open(0x0404);
  SelectPage("TabTemperature");
  EXPECT_EQ(Child<QLabel>("Label46")->text(), "High Temperature(C)");
  EXPECT_EQ(Child<QLabel>("Label47")->text(), "Low Temperature(C)");
  EXPECT_EQ(Text("Edit21"), "-2");
  EXPECT_EQ(Text("Edit22"), "80");
  SelectPage("TabType");
  form.hide();
  Open(0x0004);
  SelectPage("TabTemperature");
  EXPECT_EQ(Child<QLabel>("Label46")->text(), "High Temperature Alarm(C)");
  EXPECT_EQ(Child<QLabel>("Label47")->text(), "Low Temperature Alarm(C)");
}

TEST_F(ConfigureWindowTest, TheFeaturesWordDecidesThePagesShown) {
  struct Case {
    std::uint16_t word;
    std::vector<const char*> shown;
    std::vector<const char*> hidden;
  };
  const Case cases[] = {
      {0x0800,
       {"TabType", "TabDebris", "TabOil", "TabTemperature", "TabCAN", "TabPGNID", "TabMODBUS"},
       {"TabAnalog"}},
      {0x0078, {"TabType", "TabMODBUS"}, {"TabDebris", "TabOil", "TabAnalog", "TabTemperature", "TabCAN", "TabPGNID"}},
      {0x0040, {"TabType", "TabDebris", "TabOil", "TabAnalog", "TabMODBUS"}, {"TabTemperature", "TabCAN", "TabPGNID"}},
      {0x0004, {"TabType", "TabDebris", "TabTemperature", "TabCAN", "TabPGNID", "TabMODBUS"}, {"TabOil", "TabAnalog"}},
  };
  for (const Case& c : cases) {
    Open(c.word);
    for (const char* page : c.shown) EXPECT_TRUE(PageShown(page)) << std::hex << c.word << " " << page;
    for (const char* page : c.hidden) EXPECT_FALSE(PageShown(page)) << std::hex << c.word << " " << page;
    form.close();
  }
}

TEST_F(ConfigureWindowTest, TheFeaturesWordDecidesTheControlsShown) {
  Open(0x0800);
  EXPECT_FALSE(Shown("rgDiTempChannel"));
  EXPECT_TRUE(Shown("Edit6"));
  EXPECT_TRUE(Shown("Edit22"));
  form.close();

  // 4-20 mA with the coarse channel disabled and no inhibit.
  Open(0x0048);
  EXPECT_TRUE(Shown("rgDiTempChannel"));
  EXPECT_FALSE(Shown("GaugeCoarse"));
  EXPECT_TRUE(Shown("Edit47"));
  EXPECT_TRUE(Shown("GaugeFine"));
  EXPECT_FALSE(Shown("Edit46"));
  EXPECT_FALSE(Child("Edit38")->isEnabled());
  EXPECT_FALSE(Shown("Button79"));
  EXPECT_TRUE(Shown("Button78"));
  EXPECT_EQ(Child("Edit37")->toolTip(), "Analogue level to be output (In mA) when sensor has error.");
  EXPECT_EQ(Child("Edit20")->toolTip(),
            "Analogue level to be output (In mA) when sensor measures 100 percent debris.");
  EXPECT_FALSE(Shown("Edit22"));
  EXPECT_TRUE(Shown("Edit6"));
}

TEST_F(ConfigureWindowTest, TheFeaturesReadReachesEveryViewWhileTheWindowIsClosed) {
  RecordingFeatureView mainWindow(fake.session.Config());
  fake.session.AddFeatureView(&mainWindow);
  sensor.Set16(0x001E, 0x00C0);
  form.Button37Click();
  EXPECT_FALSE(mainWindow.visibility.reportingMenuShown);
  EXPECT_TRUE(mainWindow.visibility.brightnessMenuShown);
  EXPECT_EQ(form.FeaturesWord(), 0x00C0);
  EXPECT_EQ(Child<QtRadioGroup>("rgApplication")->itemIndex(), 1);
  // The main window reads the features at start-up while this window is closed.
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(line->Texts(), std::vector<std::string>{"R 001e 02"});

  sensor.Set16(0x001E, 0x0000);
  form.Button37Click();
  EXPECT_FALSE(mainWindow.visibility.brightnessMenuShown);
  fake.session.RemoveFeatureView(&mainWindow);
}

TEST_F(ConfigureWindowTest, TickingAChannelBoxWritesTheComposedWordOnlyWhileActive) {
  Open(0x0041);
  form.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  Sent();
  Child<QCheckBox>("cbFineChannel")->click();
  const std::vector<std::string> sent = Sent();
  const std::vector<std::string> expected = {"W 001e 51", "W 001f 00", "R 001e 02", "R 000e 02",
                                             "R 002a 02", "R 000c 02", "R 0010 02", "Z"};
  EXPECT_EQ(sent, expected);
  EXPECT_EQ(form.FeaturesWord(), 0x0051);

  // Putting a word read from the sensor into the controls writes nothing.
  sensor.Set16(0x001E, 0x0445);
  form.Button37Click();
  EXPECT_EQ(Sent(), std::vector<std::string>{"R 001e 02"});
  EXPECT_EQ(Child<QtRadioGroup>("rgDiTempChannel")->itemIndex(), 3);
  EXPECT_TRUE(Child<QCheckBox>("cbInhibit")->isChecked());
  EXPECT_FALSE(Child<QCheckBox>("cbFineChannel")->isChecked());

  // Choosing another channel mode writes too.
  Child<QtRadioGroup>("rgDiTempChannel")->button(0)->click();
  EXPECT_EQ(Sent().front(), "W 001e 41");
}

TEST_F(ConfigureWindowTest, ChangesInAnInactiveWindowWriteNothing) {
  Open(0x0041);
  QWidget other;
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  Sent();
  Child<QCheckBox>("cbFineChannel")->click();
  EXPECT_TRUE(Sent().empty());
}

TEST_F(ConfigureWindowTest, ClosingWaitsForAnExchangeInProgress) {
  Open(0x0040);
  Sent();
  {
    ExchangeGuard busy(link);
    form.close();
    EXPECT_TRUE(form.isVisible());
    SelectPage("TabDebris");
    EXPECT_TRUE(Sent().empty());
  }
  form.close();
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(Sent(), (std::vector<std::string>{"ce", "", "U 1"}));
}

TEST_F(ConfigureWindowTest, ScalingShortcutsActEvenWhereABoxWouldCopy) {
  Open(0x0040);
  form.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  SelectPage("TabDebris");
  auto* box = Child<QLineEdit>("Edit2");
  box->setFocus();
  box->selectAll();
  QApplication::clipboard()->setText("untouched");
  QSignalSpy coarse(Child<QAction>("Coarse1"), &QAction::triggered);
  QSignalSpy fine(Child<QAction>("Fine1"), &QAction::triggered);
  QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
  QTest::keyClick(box, Qt::Key_F, Qt::ControlModifier);
  EXPECT_EQ(coarse.count(), 1);
  EXPECT_EQ(fine.count(), 1);
  EXPECT_EQ(QApplication::clipboard()->text(), "untouched");
}

TEST_F(ConfigureWindowTest, EveryControlTheRegisterMapNamesIsABoxOfTheWindow) {
  for (const RegisterInfo& r : RegisterTable()) {
    if (*r.control == '\0') continue;
    SCOPED_TRACE(r.control);
    QWidget* widget = form.findChild<QWidget*>(r.control);
    ASSERT_NE(widget, nullptr);
    // The parity code goes through its drop-down box; every other register
    // through a text box.
    const bool dropDown = r.show == ShowKind::Register16;
    EXPECT_EQ(qobject_cast<QComboBox*>(widget) != nullptr, dropDown);
    EXPECT_EQ(qobject_cast<QLineEdit*>(widget) != nullptr, !dropDown);
    ValueBox& box = form.Box(r.address);
    box.SetText("7");
    EXPECT_EQ(box.Text(), "7");
  }
  // Putting a text into a drop-down box does not choose an entry.
  EXPECT_EQ(Child<QComboBox>("ComboBoxParity")->currentIndex(), -1);
}

TEST_F(ConfigureWindowTest, EnglishCaptions) {
  EXPECT_EQ(form.windowTitle(), "Oil Debris Sensor Configurator");
  const std::pair<const char*, const char*> titles[] = {
      {"TabType", "Sensor_Type"}, {"TabDebris", "Debris"},   {"TabOil", "Water Contamination"},
      {"TabAnalog", "Analog"},    {"TabTemperature", "Temperature"}, {"TabCAN", "CAN"},
      {"TabPGNID", "PGN"},        {"TabMODBUS", "MODBUS"}};
  for (const auto& [page, title] : titles) EXPECT_EQ(TabTitle(page), title) << page;
  EXPECT_EQ(Child<QtRadioGroup>("rgApplication")->items(),
            (QStringList{"Models without display", "Models with display"}));
  EXPECT_EQ(Child<QtRadioGroup>("rgAnalogType")->items(), (QStringList{"4 - 20 mA", "0 - 10 V", "CAN", "MODBUS"}));
  EXPECT_EQ(Child<QtRadioGroup>("rgDiTempChannel")->items(),
            (QStringList{"Water Contamination (Alarm) *", "Water Contamination (Continuous) *",
                         "Temperature (Alarm)", "Temperature (Continuous)"}));
  EXPECT_EQ(Child<QtRadioGroup>("rgDiTempChannel")->title(), "Water Contamination / Temperature Channel");
  EXPECT_EQ(Child<QLabel>("Label8")->text(), "Step 1");
  EXPECT_EQ(Child<QLabel>("Label10")->text(), "Step 3");
  EXPECT_EQ(Child<QLabel>("Label40")->text(), "Set Clean Oil Reference");
  EXPECT_EQ(Child<QLabel>("Label65")->text(), "PGN");
  EXPECT_EQ(Child<QLabel>("Label66")->text(), "PGN/ID");
  EXPECT_EQ(Child<QLabel>("LabelParity")->text(), "Parity");
  EXPECT_EQ(Child<QPushButton>("Button89")->text(), "Zero Tare");
  EXPECT_EQ(Child<QPushButton>("Button89")->toolTip(), "Press to Zero any unwanted signals after installation");
  EXPECT_EQ(Child<QLabel>("Label36")->text(),
            "The numbers in the boxes displayed above are internal sensor counts, not percentages.\n"
            "For average chip detection Tessel recommend that Coarse 100% be set to 250.\n"
            "Fine 100% can be set to 750 for maximum fine channel range, for customers trending the output.");
  EXPECT_EQ(Child("cbThirdChannel")->toolTip(), "Disable analogue/LED/CAN outputs on oil/temperature channel");
  EXPECT_EQ(Child("Edit8")->toolTip(), "Response time of Oil Status measurement filter");
  EXPECT_EQ(Child("Edit34")->toolTip(), "Refer to J1939 Spec");
  // The drop-down boxes show their layout texts without an entry chosen.
  EXPECT_EQ(Child<QComboBox>("ComboBoxBaudRate")->currentIndex(), -1);
  EXPECT_EQ(Child<QComboBox>("ComboBoxBaudRate")->currentText(), "Baud Rate");
  EXPECT_EQ(Child<QComboBox>("ComboBoxParity")->currentIndex(), -1);
}

TEST_F(ConfigureWindowTest, ChineseCaptionsAndClearedSelections) {
  Open(0x00C0);
  ASSERT_EQ(Child<QtRadioGroup>("rgApplication")->itemIndex(), 1);
  SetLanguage(1);
  form.ApplyLanguage();
  EXPECT_EQ(Child<QtRadioGroup>("rgApplication")->items(), (QStringList{"7340", "7340i"}));
  EXPECT_EQ(Child<QtRadioGroup>("rgApplication")->itemIndex(), -1);
  EXPECT_EQ(Child<QtRadioGroup>("rgDiTempChannel")->itemIndex(), -1);
  // The output type group keeps its items and its selection.
  EXPECT_EQ(Child<QtRadioGroup>("rgAnalogType")->itemIndex(), 0);
  EXPECT_EQ(Child<QtRadioGroup>("rgAnalogType")->title(), "输出类型");
  EXPECT_EQ(TabTitle("TabType"), "传感器类型");
  EXPECT_EQ(TabTitle("TabOil"), "污染");
  EXPECT_EQ(TabTitle("TabMODBUS"), "MODBUS");
  EXPECT_EQ(form.windowTitle(), "油屑传感器配置器");
  for (const char* set : {"Button4", "Button10", "Button28", "Button79"}) {
    EXPECT_EQ(Child<QPushButton>(set)->text(), "设置") << set;
  }
  EXPECT_EQ(Child<QPushButton>("ButtonSetSensorName")->text(), "Set");

  // The features read selects them again.
  form.Button37Click();
  EXPECT_EQ(Child<QtRadioGroup>("rgApplication")->itemIndex(), 1);
}

}  // namespace
