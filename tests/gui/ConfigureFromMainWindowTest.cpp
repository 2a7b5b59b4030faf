// The configure window plugged into a real main window as the configurator
// wires them: the Configure entry, the features read at start-up, the main
// window's menus and the language.

#include <gtest/gtest.h>

#include <QMenu>

#include "app/QtWindows.h"
#include "config/Features.h"
#include "config/Unit2.h"
#include "tests/gui/MainWindowFixture.h"

namespace {

class ConfigureFromMainWindow : public MainWindowFixture {
 protected:
  ConfigureFromMainWindow() {
    WireConfigureWindow(form, form2);
    form2.ApplyLanguage();
  }
  ~ConfigureFromMainWindow() override { form2.hide(); }

  TForm2 form2{line.session, &form};
};

TEST_F(ConfigureFromMainWindow, TheConfigureEntryOpensTheWindowInsideTheMainWindowsExchange) {
  sensor.Set16(0x001E, 0x00C0);
  Action("EEPROM1")->trigger();
  EXPECT_TRUE(form2.isVisible());
  EXPECT_EQ(fake->Texts(), (std::vector<std::string>{"", "U 5E2B", "R 001e 02", "cs"}));
  EXPECT_FALSE(Action("Graphic1")->isVisible());
  EXPECT_TRUE(Find<QMenu>("Brightness1")->menuAction()->isVisible());
  EXPECT_EQ(line.session.Config().FeaturesWord, 0x00C0);
  EXPECT_TRUE(form.Timer1()->isActive());

  fake->writes.clear();
  form2.close();
  EXPECT_EQ(fake->Texts(), (std::vector<std::string>{"ce", "", "U 1"}));
}

TEST_F(ConfigureFromMainWindow, TheFeaturesReadAtStartUpSetsTheMainWindowsMenus) {
  sensor.Set16(0x001E, 0x0040);
  ReadFeatures(line.session);
  EXPECT_FALSE(form2.isVisible());
  EXPECT_FALSE(Action("Graphic1")->isVisible());
  EXPECT_FALSE(Find<QMenu>("Brightness1")->menuAction()->isVisible());
  EXPECT_EQ(line.session.Config().FeaturesWord, 0x0040);
}

TEST_F(ConfigureFromMainWindow, TheConfigureEntryIsRefusedWhileAnotherExchangeRuns) {
  form.RunExchange([this] { Action("EEPROM1")->trigger(); });
  EXPECT_FALSE(form2.isVisible());
  EXPECT_TRUE(fake->writes.empty());
}

TEST_F(ConfigureFromMainWindow, TheLanguageStepReachesTheWindow) {
  SetLanguage(1);
  form.ApplyLanguage();
  EXPECT_EQ(form2.windowTitle(), "油屑传感器配置器");
}

}  // namespace
