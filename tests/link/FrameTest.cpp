// The check value and the bootloader frame encoding.
#include <gtest/gtest.h>

#include <string>

#include "link/Channel.h"

namespace {
std::vector<std::uint8_t> Frame(std::vector<std::uint8_t> payload) {
  return EncodeFrame(payload.data(), payload.size());
}
}  // namespace

TEST(CheckValue, KnownVectors) {
  const std::string digits = "123456789";
  EXPECT_EQ(CheckValue(reinterpret_cast<const std::uint8_t*>(digits.data()), digits.size()), 0x31C3);
  EXPECT_EQ(CheckValue(nullptr, 0), 0x0000);
  const std::uint8_t one = 0x01;
  EXPECT_EQ(CheckValue(&one, 1), 0x1021);
}

TEST(EncodeFrame, WorkedFramesAndEscapes) {
  struct Case {
    std::vector<std::uint8_t> payload;
    std::vector<std::uint8_t> wire;
  };
  const Case cases[] = {
      {{0x01}, {0x01, 0x10, 0x01, 0x21, 0x10, 0x10, 0x04}},
      {{0x02}, {0x01, 0x02, 0x42, 0x20, 0x04}},
      {{0x05}, {0x01, 0x05, 0xA5, 0x50, 0x04}},
  };
  for (const Case& c : cases) EXPECT_EQ(Frame(c.payload), c.wire);
}

TEST(EncodeFrame, EveryPayloadAndCheckByteThatNeedsItIsEscaped) {
  // A payload byte 0x10 goes out as 10 10; the frame decodes back to the
  // payload and its check value, and only the last byte is an unescaped 04.
  const std::vector<std::uint8_t> payload = {0x10, 0x04, 0x01, 0x00, 0xFF, 0x10};
  const std::vector<std::uint8_t> wire = Frame(payload);
  ASSERT_GE(wire.size(), 2u);
  EXPECT_EQ(wire.front(), 0x01);
  EXPECT_EQ(wire.back(), 0x04);
  std::vector<std::uint8_t> decoded;
  for (std::size_t i = 1; i + 1 < wire.size(); ++i) {
    if (wire[i] == 0x10) ++i;
    else ASSERT_NE(wire[i], 0x04) << "unescaped end byte inside the frame at " << i;
    decoded.push_back(wire[i]);
  }
  const std::uint16_t check = CheckValue(payload.data(), payload.size());
  std::vector<std::uint8_t> expected = payload;
  expected.push_back(static_cast<std::uint8_t>(check & 0xFF));
  expected.push_back(static_cast<std::uint8_t>(check >> 8));
  EXPECT_EQ(decoded, expected);
}

TEST(EncodeFrame, WorstCaseFitsTheSizedBuffer) {
  const std::vector<std::uint8_t> payload(1000, 0x10);
  EXPECT_LE(Frame(payload).size(), 2 * (payload.size() + 2) + 2);
}
