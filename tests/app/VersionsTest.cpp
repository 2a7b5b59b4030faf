// The version texts of the About window and the command-line tool.
#include <gtest/gtest.h>

#include "app/Versions.h"

TEST(Versions, TheConfiguratorAndTheFirmware) {
  EXPECT_EQ(GuiVersionText(), "GUI-5824.111");
  struct Case {
    std::uint32_t part, version;
    const char* text;
  };
  for (const Case c : {Case{0, 0, "FW-0.000"}, Case{5819, 7, "FW-5819.007"}, Case{5819, 1234, "FW-5819.1234"},
                       Case{0xFFFFFFFF, 0xFFFFFFFF, "FW-4294967295.4294967295"}}) {
    EXPECT_EQ(FirmwareVersionText(c.part, c.version), c.text);
  }
}
