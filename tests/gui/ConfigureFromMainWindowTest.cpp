// The configure window plugged into a real main window: the Configure entry,
// the features read at start-up, the main window's menus and the language.

#include <gtest/gtest.h>

#include <QMenu>

#include "config/Unit2.h"
#include "tests/gui/ConfigSensor.h"
#include "tests/gui/MainWindowFixture.h"

namespace {

// The configure window plugged into a real main window.
class ConfigureFromMainWindow : public MainWindowFixture {
 protected:
  ConfigureFromMainWindow() {
    fake->responder = [this](const Written& w) { return sensor.Answer(w); };
    form2.AttachTo(form);
    form2.ApplyLanguage();
  }
  ~ConfigureFromMainWindow() override { form2.hide(); }

  ConfigSensor sensor;
  TForm2 form2{form.Exchange(), &form};
};

TEST_F(ConfigureFromMainWindow, TheConfigureEntryOpensTheWindowInsideTheMainWindowsExchange) {
  sensor.Set16(0x001E, 0x00C0);
  Action("EEPROM1")->trigger();
  EXPECT_TRUE(form2.isVisible());
  EXPECT_EQ(fake->Texts(), (std::vector<std::string>{"", "U 5E2B", "R 001e 02", "cs"}));
  EXPECT_FALSE(Action("Graphic1")->isVisible());
  EXPECT_TRUE(Find<QMenu>("Brightness1")->menuAction()->isVisible());
  EXPECT_EQ(form.hooks.featuresWord(), 0x00C0);
  EXPECT_TRUE(form.Timer1()->isActive());

  fake->writes.clear();
  form2.close();
  EXPECT_EQ(fake->Texts(), (std::vector<std::string>{"ce", "", "U 1"}));
}

TEST_F(ConfigureFromMainWindow, TheFeaturesReadAtStartUpSetsTheMainWindowsMenus) {
  sensor.Set16(0x001E, 0x0040);
  form.hooks.readFeatures();
  EXPECT_FALSE(form2.isVisible());
  EXPECT_FALSE(Action("Graphic1")->isVisible());
  EXPECT_FALSE(Find<QMenu>("Brightness1")->menuAction()->isVisible());
  EXPECT_EQ(form.hooks.featuresWord(), 0x0040);
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
