// The COM port table read from a data folder's ports/ folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "link/PortMap.h"
#include "tests/support/Pty.h"

namespace {
// Writes a file of a fake system tree, with its folders.
void TreeFile(const std::string& path, const std::string& text) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path) << text;
}
}  // namespace

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

TEST(PortMap, UsbAdaptersAreNamedByWhatTheSystemKnowsOfThem) {
  namespace fs = std::filesystem;
  PortsFolder home;
  const std::string root = home.Home() + "/root";
  // An FTDI adapter with product and serial number, an ACM device with a
  // product only, and an adapter sysfs says nothing of but udev named.
  const std::string ftdi = root + "/sys/devices/pci0000:00/usb1/1-1";
  TreeFile(ftdi + "/idVendor", "0403\n");
  TreeFile(ftdi + "/product", "FT232R USB UART\n");
  TreeFile(ftdi + "/serial", "A10K3JQ2\n");
  fs::create_directories(ftdi + "/1-1:1.0/ttyUSB0/tty/ttyUSB0");
  const std::string acm = root + "/sys/devices/pci0000:00/usb1/1-2";
  TreeFile(acm + "/idVendor", "2341\n");
  TreeFile(acm + "/product", "Sensor Bridge\n");
  fs::create_directories(acm + "/1-2:1.0/tty/ttyACM0");
  fs::create_directories(root + "/sys/class/tty/ttyUSB0");
  fs::create_directories(root + "/sys/class/tty/ttyACM0");
  fs::create_directory_symlink(ftdi + "/1-1:1.0/ttyUSB0", root + "/sys/class/tty/ttyUSB0/device");
  fs::create_directory_symlink(acm + "/1-2:1.0", root + "/sys/class/tty/ttyACM0/device");
  for (const char* tty : {"ttyUSB0", "ttyUSB1", "ttyACM0", "ttyS0"}) TreeFile(root + "/dev/" + tty, "");
  fs::create_directories(root + "/dev/serial/by-id");
  fs::create_symlink("../../ttyUSB1", root + "/dev/serial/by-id/usb-Prolific_Technology_Inc._USB-Serial-if00-port0");

  PortMap map = PortMap::FromEntries({{1, root + "/dev/ttyUSB0"},
                                      {2, root + "/dev/ttyUSB1"},
                                      {3, root + "/dev/ttyACM0"},
                                      {4, root + "/dev/ttyS0"}});
  map.SetSystemRoot(root);
  EXPECT_EQ(map.Describe(1), "COM01  " + root + "/dev/ttyUSB0  FT232R USB UART A10K3JQ2");
  EXPECT_EQ(map.Describe(2), "COM02  " + root + "/dev/ttyUSB1  usb-Prolific_Technology_Inc._USB-Serial-if00-port0");
  EXPECT_EQ(map.Describe(3), "COM03  " + root + "/dev/ttyACM0  Sensor Bridge");
  EXPECT_EQ(map.Describe(4), "COM04  " + root + "/dev/ttyS0") << "an on-board port has no adapter name";
}

// After an unplug the device is looked for where it can come back: its
// ports/ link, its by-id name, or a ttyUSB with the same serial number.
TEST(PortMap, AnUnpluggedDeviceIsRecognisedWhenItComesBack) {
  namespace fs = std::filesystem;
  PortsFolder home;
  const std::string root = home.Home() + "/root";
  // A USB adapter with a serial number and no by-id name, on ttyUSB0.
  const auto plugAdapter = [&](const std::string& tty, const std::string& serial) {
    const std::string usb = root + "/sys/devices/usb1/" + serial;
    TreeFile(usb + "/idVendor", "0403\n");
    TreeFile(usb + "/serial", serial + "\n");
    fs::create_directories(usb + "/if0/" + tty);
    fs::create_directories(root + "/sys/class/tty/" + tty);
    fs::remove(root + "/sys/class/tty/" + tty + "/device");
    fs::create_directory_symlink(usb + "/if0/" + tty, root + "/sys/class/tty/" + tty + "/device");
    TreeFile(root + "/dev/" + tty, "");
  };
  plugAdapter("ttyUSB0", "A10K3JQ2");
  TreeFile(root + "/dev/ttyS0", "");
  TreeFile(root + "/dev/ttyUSB5", "");  // an adapter sysfs and udev say nothing of
  PortMap map = PortMap::FromEntries({{1, root + "/dev/ttyUSB0"}, {4, root + "/dev/ttyS0"}, {6, root + "/dev/ttyUSB5"}});
  map.SetSystemRoot(root);
  const PortMap::Identity adapter = map.IdentityOf(1);
  EXPECT_EQ(adapter.serial, "A10K3JQ2");
  EXPECT_EQ(map.WhereNow(adapter), root + "/dev/ttyUSB0");
  fs::remove(root + "/dev/ttyUSB0");
  EXPECT_EQ(map.WhereNow(adapter), "");
  plugAdapter("ttyUSB0", "FT0OTHER");  // another adapter takes its name
  EXPECT_EQ(map.WhereNow(adapter), "");
  plugAdapter("ttyUSB1", "A10K3JQ2");  // and it comes back under the next one
  EXPECT_EQ(map.WhereNow(adapter), root + "/dev/ttyUSB1");

  EXPECT_EQ(map.WhereNow(map.IdentityOf(4)), root + "/dev/ttyS0") << "an on-board port by its path";
  EXPECT_EQ(map.WhereNow(map.IdentityOf(6)), "") << "a ttyUSB known by nothing but its name";

  // An adapter udev names by id: the name is what comes back.
  fs::create_directories(root + "/dev/serial/by-id");
  const std::string byId = root + "/dev/serial/by-id/usb-Prolific_USB-Serial-if00-port0";
  TreeFile(root + "/dev/ttyUSB2", "");
  fs::create_symlink("../../ttyUSB2", byId);
  map.SetDevice(2, root + "/dev/ttyUSB2");
  const PortMap::Identity named = map.IdentityOf(2);
  fs::remove(byId);
  fs::remove(root + "/dev/ttyUSB2");
  EXPECT_EQ(map.WhereNow(named), "");
  TreeFile(root + "/dev/ttyUSB3", "");
  fs::create_symlink("../../ttyUSB3", byId);
  EXPECT_EQ(map.WhereNow(named), root + "/dev/ttyUSB3");

  // A port of the ports/ folder: its link, as long as it leads somewhere.
  home.Link(3, "/dev/null");
  const PortMap linked = PortMap::Build(home.DataFolder());
  const PortMap::Identity link = linked.IdentityOf(3);
  EXPECT_EQ(linked.WhereNow(link), home.DataFolder() + "/ports/com3");
  fs::remove(home.DataFolder() + "/ports/com3");
  EXPECT_EQ(linked.WhereNow(link), "");
  home.Link(3, "/dev/od-not-there");
  EXPECT_EQ(linked.WhereNow(link), "");
  fs::remove(home.DataFolder() + "/ports/com3");
  home.Link(3, "/dev/zero");
  EXPECT_EQ(linked.WhereNow(link), home.DataFolder() + "/ports/com3");
}
