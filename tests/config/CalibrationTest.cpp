// The calibration actions: one acknowledged command each, its read-backs,
// the pauses, and the live update stopped around them.
#include "config/Calibration.h"
#include "tests/support/SessionFixture.h"

namespace {

class CalibrationTest : public SessionFixture {
 protected:
  CalibrationTest() {
    session.stopLiveUpdate = [this] { live.push_back("stop"); };
    session.resumeLiveUpdate = [this] { live.push_back("resume"); };
  }
  std::vector<std::string> live;
};

TEST_F(CalibrationTest, EachActionSendsItsCommandAndReadsBackItsRegisters) {
  struct Case {
    Calibration action;
    std::vector<std::string> sent;
    // From the start to the first read-back: 50 ms, the acknowledged
    // command's own 50 ms, then (all but Zero/Tare) 50 ms more, then the
    // read's own 50 ms.
    std::int64_t firstReadAt;
  };
  const Case cases[] = {
      {Calibration::ZeroTare, {"cn", "R 003a 02", "R 003c 02"}, 150},
      {Calibration::FullScaleCoarse, {"cc", "R 0004 02"}, 200},
      {Calibration::FullScaleFine, {"cf", "R 0006 02"}, 200},
      {Calibration::CleanOilReference, {"cd", "R 0022 02"}, 200},
      {Calibration::CoarseScaling, {"co", "R 003e 02"}, 200},
      {Calibration::FineScaling, {"cp", "R 0040 02"}, 200},
  };
  for (const Case& c : cases) {
    Forget();
    live.clear();
    const std::int64_t start = clock.NowMs();
    const std::size_t before = channel->writes.size();
    EXPECT_TRUE(Calibrate(session, c.action)) << c.sent[0];
    EXPECT_EQ(Sent(), c.sent);
    EXPECT_EQ(channel->writes[before + 1].atMs - start, c.firstReadAt) << c.sent[0];
    EXPECT_EQ(live, (std::vector<std::string>{"stop", "resume"}));
  }
}

TEST_F(CalibrationTest, ZeroTareReadsBothOffsetsEvenWhenCnIsNotAcknowledged) {
  sensor.SetAcknowledges(false);
  sensor.Set16(0x003A, 0xFFF6);
  sensor.Set16(0x003C, 12);
  EXPECT_FALSE(Calibrate(session, Calibration::ZeroTare));
  EXPECT_EQ(Sent(), (std::vector<std::string>{"cn", "cn", "cn", "cn", "R 003a 02", "R 003c 02"}));
  ASSERT_EQ(user.messages.size(), 1u);
  EXPECT_EQ(user.messages[0].text, "Message failed");
  EXPECT_EQ(BoxOf(0x003A).text, "-10");
  EXPECT_EQ(BoxOf(0x003C).text, "12");
  EXPECT_EQ(live, (std::vector<std::string>{"stop", "resume"}));
}

}  // namespace
