// The two rules a reply wait ends by besides its count: the quiet time of
// the line and the end byte of a bootloader frame.
#include <gtest/gtest.h>

#include "link/Channel.h"
#include "link/ReplyWait.h"

TEST(ReplyWait, QuietTimeIsTwoByteTimesAtTheLineRate) {
  EXPECT_EQ(ReplyWait::QuietUs(19200), 1042);
  EXPECT_EQ(ReplyWait::QuietUs(57600), 348);
  EXPECT_EQ(ReplyWait::QuietUs(0), 1042) << "an unknown rate counts as the slowest";
}

TEST(ReplyWait, AFrameEndsAtAnUnescapedEndByte) {
  struct Case {
    std::vector<std::uint8_t> bytes;
    bool ends;
  } const cases[] = {
      {{}, false},
      {{0x04}, true},
      {{0x01, 0x03, 0x00, 0x30, 0x60, 0x04}, true},
      {{0x01, 0x03, 0x10, 0x04}, false},        // an escaped 04 is data
      {{0x01, 0x03, 0x10, 0x10, 0x04}, true},   // an escaped 10, then the end
      {{0x01, 0x10, 0x10, 0x10, 0x04}, false},  // an escaped 10, then an escaped 04
      {{0x01, 0x02, 0x0A}, false},
  };
  for (const Case& c : cases) EXPECT_EQ(ReplyWait::EndsFrame(c.bytes.data(), c.bytes.size()), c.ends);
}

TEST(ReplyWait, EveryFrameEndsAtItsLastByteAndNotBefore) {
  const std::vector<std::vector<std::uint8_t>> payloads = {
      {0x01}, {0x02}, {0x04, 0x04, 0x10, 0x01}, {0x10, 0x10, 0x10}, {0x03, 0x00}, {0x04, 0x00, 0x21, 0x10}};
  for (const auto& payload : payloads) {
    const std::vector<std::uint8_t> frame = EncodeFrame(payload.data(), payload.size());
    EXPECT_TRUE(ReplyWait::EndsFrame(frame.data(), frame.size()));
    for (std::size_t n = 1; n < frame.size(); ++n) {
      EXPECT_FALSE(ReplyWait::EndsFrame(frame.data(), n)) << "a prefix of " << n << " bytes";
    }
  }
}
