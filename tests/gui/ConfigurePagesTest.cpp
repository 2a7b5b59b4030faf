// The configure window's page controls as a user works them, and the keys
// that must not reach hidden pages or close the window.

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

}  // namespace
