// How the simulator attaches: its link appears and goes, it outlives the
// configurators that open and close the port, and it refuses bad usage.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "SimHarness.h"

namespace {
bool Exists(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}
}  // namespace

TEST(Attachment, LinkPointsAtTheDeviceAndGoesAtTheStopSignals) {
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(signal);
    SimProcess sim({});
    ASSERT_TRUE(sim.Ready());
    EXPECT_EQ(std::filesystem::read_symlink(sim.LinkPath()).string(), sim.SlavePath());
    EXPECT_EQ(sim.Stop(signal), 0);
    EXPECT_FALSE(Exists(sim.LinkPath()));
  }
}

TEST(Attachment, ComPortUnderTheDataFolder) {
  char pattern[] = "/tmp/od-sim-home-XXXXXX";
  ASSERT_NE(::mkdtemp(pattern), nullptr);
  const std::string home = pattern;
  const std::string link = home + "/TesselAppsData/OilDebris/ports/com7";
  {
    SimProcess sim({"--com", "7", "--home", home}, false);
    ASSERT_TRUE(sim.Ready());
    EXPECT_EQ(std::filesystem::read_symlink(link).string(), sim.SlavePath());
    SimPort port(link);
    ASSERT_TRUE(port.IsOpen());
    EXPECT_GE(port.Ask("I", 17).size(), 17u);
    EXPECT_EQ(sim.Stop(SIGTERM), 0);
  }
  EXPECT_FALSE(Exists(link));
  EXPECT_TRUE(Exists(home + "/TesselAppsData/OilDebris/ports"));
  std::filesystem::remove_all(home);
}

TEST(Attachment, PortServesOneConfiguratorAfterAnother) {
  SimProcess sim({});
  ASSERT_TRUE(sim.Ready());
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE(round);
    {
      SimPort port(sim.LinkPath());
      ASSERT_TRUE(port.IsOpen());
      EXPECT_GE(port.Ask("I", 17).size(), 17u);
      // While it is held, a second configurator is kept out by its lock.
      {
        SimPort second(sim.LinkPath());
        EXPECT_FALSE(second.IsOpen());
      }
      // That refused attempt's close leaves the holder's exclusive mode alone.
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      int held = -1;
      ::ioctl(port.Descriptor(), TIOCGEXCL, &held);
      EXPECT_EQ(held, 1);
    }
    // Closed: the exclusive mode it set is gone again, as on a real port.
    // One look only, and before this look's own close, which the simulator
    // would also notice.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const int fd = ::open(sim.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    int exclusive = -1;
    ::ioctl(fd, TIOCGEXCL, &exclusive);
    ::close(fd);
    EXPECT_EQ(exclusive, 0);
  }
}

TEST(Attachment, UsageErrorsCreateNoLink) {
  SimProcess noLink({}, false);
  EXPECT_FALSE(noLink.Ready());
  EXPECT_EQ(noLink.Stop(SIGTERM), 2);

  SimProcess badSwitch({"--erase-ms", "soon"});
  EXPECT_FALSE(badSwitch.Ready());
  EXPECT_EQ(badSwitch.Stop(SIGTERM), 2);
  EXPECT_FALSE(Exists(badSwitch.LinkPath()));
}
