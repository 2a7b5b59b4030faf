// The COM port table read from a data folder's ports/ folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "link/PortMap.h"
#include "tests/support/Pty.h"

TEST(PortMap, ThePortsFolderIsTheCompleteTable) {
  PortsFolder home;
  home.Link(3, "/dev/null");
  home.Link(99, "/dev/od-not-there");  // listed even while its device is missing
  home.Link(100, "/dev/null");         // beyond COM99: not a port
  std::ofstream(home.DataFolder() + "/ports/README") << "not a port\n";
  const PortMap map = PortMap::Build(home.DataFolder());
  EXPECT_TRUE(map.FromPortsFolder());
  ASSERT_EQ(map.Entries().size(), 2u);
  EXPECT_EQ(map.Device(3), home.DataFolder() + "/ports/com3");
  EXPECT_EQ(map.Device(4), "");
  EXPECT_EQ(map.Describe(3), "COM03  /dev/null");
  EXPECT_EQ(map.Describe(99), "COM99  /dev/od-not-there");
}

TEST(PortMap, WithoutAPortsFolderTheDevicesAreNumberedFromCom1) {
  PortsFolder home;
  std::filesystem::remove_all(home.DataFolder() + "/ports");
  const PortMap map = PortMap::Build(home.DataFolder());
  EXPECT_FALSE(map.FromPortsFolder());
  int expected = 1;
  for (const auto& [n, device] : map.Entries()) {
    EXPECT_EQ(n, expected++) << "numbers are given without gaps";
    EXPECT_EQ(device.rfind("/dev/tty", 0), 0u) << device;
  }
}
