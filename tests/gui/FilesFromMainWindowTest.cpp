// The Sensor menu's Export, Import and Restore Factory Defaults in the real
// main window: the dialogs' filters, the files and the status timer.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "config/RegisterMap.h"
#include "tests/gui/MainWindowFixture.h"
#include "tests/support/TempFolder.h"

namespace {

class FilesFromMainWindow : public MainWindowFixture {
 protected:
  FilesFromMainWindow() {
    user.answerFileChoice = [this](const std::string& filter, const std::string& extension, bool save) {
      choices.push_back(filter + " " + extension + (save ? " save" : " open"));
      return chosen;
    };
    form.Timer1()->start();
  }
  TempFolder temp;
  const std::string& folder = temp.Path();
  std::optional<std::string> chosen;
  std::vector<std::string> choices;
};

TEST_F(FilesFromMainWindow, ExportSavesTheFileAndTheStatusTimerRunsAgain) {
  for (std::uint16_t address : ExportList()) sensor.Set16(address, 0x1234);
  chosen = folder + "/sensor.dsc";
  Action("Save1")->trigger();
  EXPECT_EQ(choices, std::vector<std::string>{"Config files|*.dsc dsc save"});
  std::ifstream in(*chosen, std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text.size(), 38u * 9u);
  EXPECT_EQ(text.substr(0, 9), "1e:1234\r\n");
  EXPECT_TRUE(messages.empty());
  EXPECT_TRUE(form.Timer1()->isActive());
  EXPECT_FALSE(form.ExchangeInProgress());
}

TEST_F(FilesFromMainWindow, AMalformedImportFileIsRefusedWithTheWritingError) {
  chosen = folder + "/bad.dsc";
  std::ofstream(*chosen) << "1e:0040\n1e0040\n";
  Action("Load1")->trigger();
  EXPECT_EQ(choices, std::vector<std::string>{"Config files (*.dsc)|*.dsc  open"});
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, "There has been an error writing configuration. Please try again.");
  EXPECT_TRUE(fake->writes.empty());
  EXPECT_TRUE(form.Timer1()->isActive());
}

TEST_F(FilesFromMainWindow, DecliningTheFactoryDefaultsSendsNothing) {
  Action("Small1")->trigger();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].title, 157);
  EXPECT_TRUE(fake->writes.empty());
  EXPECT_TRUE(form.Timer1()->isActive());
}

}  // namespace
