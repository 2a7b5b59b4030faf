// The configure window's page controls as a user works them: Set buttons,
// spin buttons, the calibration buttons and shortcuts, the J1939 and MODBUS
// pages, and the keys that must not reach hidden pages or close the window.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "config/QtSpinButton.h"
#include "tests/gui/ConfigureWindowFixture.h"

namespace {

using Texts = std::vector<std::string>;

class ConfigurePages : public ConfigureWindowFixture {
 protected:
  void OpenActive(std::uint16_t features) {
    Open(features);
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    Sent();
  }
  void Click(const char* button) { Child<QPushButton>(button)->click(); }
  void Type(const char* box, const QString& text) { Child<QLineEdit>(box)->setText(text); }
  QColor Background(const char* box) { return Child(box)->palette().color(QPalette::Base); }
  QWidget* Current() { return Pages()->currentWidget(); }
  void KeyToFocus(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QWidget* focused = QApplication::focusWidget();
    QTest::keyClick(focused != nullptr ? focused : static_cast<QWidget*>(&form), key, modifiers);
  }
};

TEST_F(ConfigurePages, CtrlTabVisitsOnlyTheShownPages) {
  // 4-20 mA with a water contamination channel: Temperature, CAN and PGN/ID hidden.
  OpenActive(0x0040);
  std::vector<QWidget*> visited;
  for (int i = 0; i < 5; ++i) {
    KeyToFocus(Qt::Key_Tab, Qt::ControlModifier);
    visited.push_back(Current());
  }
  const std::vector<QWidget*> forward = {Child("TabDebris"), Child("TabOil"), Child("TabAnalog"),
                                         Child("TabMODBUS"), Child("TabType")};
  EXPECT_EQ(visited, forward);
  visited.clear();
  for (int i = 0; i < 2; ++i) {
    KeyToFocus(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    visited.push_back(Current());
  }
  EXPECT_EQ(visited, (std::vector<QWidget*>{Child("TabMODBUS"), Child("TabAnalog")}));
  // No register of a hidden page was read.
  for (const std::string& sent : Sent()) {
    EXPECT_EQ(sent.find("R 00b"), std::string::npos) << sent;
    EXPECT_NE(sent, "R 0030 02");
  }
}

TEST_F(ConfigurePages, EscapeLeavesTheWindowOpenAndConfiguring) {
  OpenActive(0x0040);
  KeyToFocus(Qt::Key_Escape, Qt::NoModifier);
  EXPECT_TRUE(form.isVisible());
  EXPECT_TRUE(Sent().empty());
  form.close();
  EXPECT_EQ(Sent(), (Texts{"ce", "", "U 1"}));
}

TEST_F(ConfigurePages, ARefusedCloseKeepsTheLiveUpdateRunning) {
  OpenActive(0x0040);
  SelectPage("TabDebris");
  ASSERT_TRUE(form.LiveUpdateRunning());
  {
    ExchangeGuard busy(link);
    form.close();
  }
  EXPECT_TRUE(form.isVisible());
  EXPECT_TRUE(form.LiveUpdateRunning());
}

TEST_F(ConfigurePages, DebrisSetAndTheSevenStepSpin) {
  OpenActive(0x0040);
  SelectPage("TabDebris");
  Type("Edit2", "243");
  QToolButton* up = Child<QtSpinButton>("CSpinCoarseFull")->upButton();
  QStringList shown;
  for (int i = 0; i < 7; ++i) {
    up->click();
    shown << Text("Edit2");
  }
  EXPECT_EQ(shown, (QStringList{"244", "245", "246", "247", "248", "249", "250"}));
  Sent();
  // The spin only edited the box; Set writes it, reads it back and reloads.
  Click("Button4");
  EXPECT_EQ(Sent(), (Texts{"W 0004 fa", "W 0005 00", "R 0004 02", "Z"}));
  EXPECT_EQ(sensor.Get16(0x0004), 250);
}

TEST_F(ConfigurePages, ARejectedThresholdTurnsYellowUntilAnAcceptedOne) {
  OpenActive(0x0040);
  SelectPage("TabOil");
  Sent();
  Type("Edit6", "1151");
  Click("Button12");
  EXPECT_TRUE(Sent().empty());
  EXPECT_EQ(Background("Edit6"), QColor(255, 255, 0));
  Type("Edit6", "1150");
  Click("Button12");
  EXPECT_EQ(Sent(), (Texts{"W 0026 7e", "W 0027 04", "Z"}));
  EXPECT_NE(Background("Edit6"), QColor(255, 255, 0));
}

TEST_F(ConfigurePages, ZeroTareReadsBothOffsetsAndGivesTheLiveUpdateBack) {
  sensor.Set16(0x003A, 2000);
  sensor.Set16(0x003C, 1800);
  OpenActive(0x0040);
  SelectPage("TabDebris");
  Sent();
  Click("Button89");
  EXPECT_EQ(Sent(), (Texts{"cn", "R 003a 02", "R 003c 02"}));
  EXPECT_EQ(Text("Edit41"), "2000");
  EXPECT_EQ(Text("Edit43"), "1800");
  EXPECT_TRUE(form.LiveUpdateRunning());
}

TEST_F(ConfigurePages, CtrlCInAFocusedValueBoxRunsTheCoarseScaling) {
  sensor.Set16(0x003E, 1234);
  OpenActive(0x0040);
  SelectPage("TabOil");
  Sent();
  auto* box = Child<QLineEdit>("Edit6");
  box->setFocus();
  QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(Sent(), (Texts{"co", "R 003e 02"}));
  EXPECT_EQ(Text("Edit42"), "1234");
  // Given back on the Water Contamination page.
  EXPECT_TRUE(form.LiveUpdateRunning());
  QTest::keyClick(box, Qt::Key_F, Qt::ControlModifier);
  EXPECT_EQ(Sent(), (Texts{"cp", "R 0040 02"}));
}

TEST_F(ConfigurePages, TheCanPageShowsTheNameAndItsEcuInstanceSetReloads) {
  sensor.Set16(0x00B6, 0x1234);
  sensor.Set16(0x00B4, 0x1F);
  sensor.Set16(0x00B0, 0x7FF);
  sensor.Set16(0x00C2, 7);
  sensor.Set16(0x00C0, 0x1F);
  sensor.Set16(0x00BA, 0x81);
  sensor.Set16(0x00BC, 0x7F);
  sensor.Set16(0x00BE, 7);
  sensor.Set16(0x00C4, 0xF);
  OpenActive(0x0000);
  SelectPage("TabCAN");
  EXPECT_EQ(Sent().size(), 9u);
  EXPECT_EQ(Text("Edit28"), "ff fe 81 ff ff ff 12 34");
  EXPECT_EQ(Text("Edit35"), "0007");
  for (const char* hidden : {"Button34", "Button36", "Button32", "Button30", "Button22", "Button24", "Button26"}) {
    EXPECT_FALSE(Shown(hidden)) << hidden;
  }
  EXPECT_TRUE(Shown("Button67"));
  Type("Edit35", "0");
  Click("Button67");
  const Texts sent = Sent();
  ASSERT_EQ(sent.size(), 12u);
  EXPECT_EQ(sent[0], "W 00c2 00");
  EXPECT_EQ(sent[1], "W 00c3 00");
  EXPECT_EQ(sent[2], "R 00b0 02");
  EXPECT_EQ(sent[11], "Z");
  EXPECT_EQ(Text("Edit28"), "ff fe 81 f8 ff ff 12 34");
}

TEST_F(ConfigurePages, ThePgnPageShowsThePgnAndTheIdentifier) {
  sensor.Set16(0x00CC, 1);
  sensor.Set16(0x00C6, 7);
  sensor.Set16(0x00B8, 0xFF);
  OpenActive(0x0000);
  SelectPage("TabPGNID");
  EXPECT_EQ(Text("Edit33"), "10000 (65536)");
  EXPECT_EQ(Text("Edit34"), "1d0000ff");
  for (const char* hidden : {"Button56", "Button60", "Button61", "Button62"}) EXPECT_FALSE(Shown(hidden)) << hidden;
  Type("Edit14", "80");
  Click("Button28");
  EXPECT_EQ(Text("Edit34"), "1d000080");
}

TEST_F(ConfigurePages, ModbusBaudRateAndParity) {
  sensor.Set32(0x00D4, 9600);
  sensor.Set16(0x00D2, 1);
  OpenActive(0x0040);
  SelectPage("TabMODBUS");
  auto* baud = Child<QComboBox>("ComboBoxBaudRate");
  auto* parity = Child<QComboBox>("ComboBoxParity");
  EXPECT_EQ(baud->currentText(), "9600");
  EXPECT_EQ(parity->currentText(), "EVEN");
  Sent();
  // Without a choice from the list the Set writes 19200.
  Click("ButtonSetBaudRate");
  EXPECT_EQ(Sent(), (Texts{"W 00d4 00", "W 00d5 4b", "W 00d6 00", "W 00d7 00", "Z"}));
  baud->setCurrentIndex(4);
  emit baud->activated(4);
  Click("ButtonSetBaudRate");
  EXPECT_EQ(Sent(), (Texts{"W 00d4 00", "W 00d5 e1", "W 00d6 00", "W 00d7 00", "Z"}));
  // A read does not undo the choice: the box's text is written.
  SelectPage("TabType");
  SelectPage("TabMODBUS");
  EXPECT_EQ(baud->currentText(), "57600");
  EXPECT_EQ(baud->count(), 5);

  parity->setCurrentIndex(3);
  emit parity->activated(3);
  Sent();
  Click("ButtonSetParity");
  EXPECT_EQ(Sent(), (Texts{"W 00d2 03", "W 00d3 00"}));
}

TEST_F(ConfigurePages, AFailedBaudRateReadShowsDashesInTheDropDown) {
  sensor.SilenceReadsOf(0x00D4);
  OpenActive(0x0040);
  SelectPage("TabMODBUS");
  EXPECT_EQ(Child<QComboBox>("ComboBoxBaudRate")->currentText(), "-----");
}

TEST_F(ConfigurePages, SensorNameRefusedWithForbiddenCharacters) {
  OpenActive(0x0040);
  SelectPage("TabMODBUS");
  Type("EditSensorName", "TANK #3");
  Sent();
  Click("ButtonSetSensorName");
  EXPECT_TRUE(Sent().empty());
  EXPECT_EQ(Background("EditSensorName"), QColor(255, 255, 0));
  Type("EditSensorName", "TANK 3");
  Click("ButtonSetSensorName");
  EXPECT_EQ(Sent().back(), "Z");
  EXPECT_EQ(sensor.At(0x00D8), 0x41);
}

}  // namespace
