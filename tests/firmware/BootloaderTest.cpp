// The bootloader's requests: how the file is cut into write requests, the
// verify payload, and how each request waits for its reply.
#include <gtest/gtest.h>

#include "firmware/Bootloader.h"
#include "firmware/HexImageFile.h"
#include "tests/firmware/FakeSensor.h"
#include "tests/firmware/HexText.h"

namespace {
// A sensor in its bootloader at 57600 baud on COM 3.
struct BootloaderBench {
  BootloaderBench() {
    channel->OpenPort(3, 57600);
    channel->replyDelayMs = 30;
    state.m_comms[3] = std::move(owned);
    state.m_comnum = 3;
    sensor.inBootloader = true;
  }
  VirtualClock clock;
  ScriptedUser user;
  LinkState state;
  CommandExchange exchange{state, clock, user};
  Bootloader bootloader{exchange};
  std::unique_ptr<FakeChannel> owned = std::make_unique<FakeChannel>(clock);
  FakeChannel* channel = owned.get();
  FakeSensor sensor{*channel};
};

std::vector<std::uint8_t> Filled(std::size_t n, std::uint8_t value) { return std::vector<std::uint8_t>(n, value); }
}  // namespace

TEST(BootloaderWrite, TwentyFiveRecordsGoOutAsTenTenAndFive) {
  TempFolder folder;
  HexImageFile file;
  ASSERT_EQ(file.Open(folder.Write("fw.hex", FirmwareText(24))), HexOpenResult::Opened);
  BootloaderBench bench;
  ASSERT_TRUE(bench.bootloader.BootloaderWrite(file));
  EXPECT_EQ(bench.sensor.recordsPerWrite, (std::vector<int>{10, 10, 5}));
  EXPECT_EQ(bench.sensor.badFrames, 0);
  // The records travel back to back exactly as the lines carry them.
  ASSERT_TRUE(file.Rewind());
  std::vector<std::uint8_t> expected;
  for (const auto& payload : bench.sensor.payloads) {
    expected.assign(1, 0x03);
    for (int r = 0; r < 10; ++r) {
      const std::vector<std::uint8_t> record = file.ReadRecord();
      if (record.empty()) break;
      expected.insert(expected.end(), record.begin(), record.end());
      if (expected.size() == payload.size()) break;
    }
    EXPECT_EQ(payload, expected);
  }
  EXPECT_EQ(bench.user.progressMaximum, 2);
  EXPECT_EQ(bench.user.progressSteps, 3) << "one step per acknowledged request";
  EXPECT_EQ(bench.user.processEventsCount, 3);
  EXPECT_EQ(bench.user.events, (std::vector<std::string>{"max 2", "position 0", "title 131", "show", "close"}));
}

TEST(BootloaderWrite, RequestsStayWithinTheAreaAndTheLargestFrame) {
  struct Case {
    const char* name;
    std::size_t dataBytes;
    std::uint8_t fill;
    std::vector<int> recordsPerWrite;  // the end-of-file record included
  } const cases[] = {
      // 1 + 3 x 260 + 2 bytes fit the 1000-byte area; a fourth record does not.
      {"records of 255 data bytes", 255, 0x55, {3, 3, 3, 2}},
      // Every data byte 0x10 is escaped: 4 records of 105 bytes make a frame
      // of about 850 bytes, a fifth would pass 1028.
      {"records that need escaping", 100, 0x10, {4, 4, 3}},
      {"records of 90 data bytes", 90, 0x00, {10, 1}},
  };
  TempFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> lines;
    for (int r = 0; r < 10; ++r) lines.push_back(DataLine(static_cast<std::uint16_t>(r * 0x100), Filled(c.dataBytes, c.fill)));
    lines.push_back(kEndLine);
    HexImageFile file;
    ASSERT_EQ(file.Open(folder.Write("long.hex", JoinLines(lines))), HexOpenResult::Opened);
    BootloaderBench bench;
    ASSERT_TRUE(bench.bootloader.BootloaderWrite(file));
    EXPECT_EQ(bench.sensor.recordsPerWrite, c.recordsPerWrite);
    EXPECT_EQ(bench.sensor.badFrames, 0);
    for (const Written& w : bench.channel->writes) {
      EXPECT_LE(w.bytes.size(), kLargestFrame);
    }
    for (const auto& payload : bench.sensor.payloads) EXPECT_LE(payload.size() + 2, kRequestArea);
    EXPECT_EQ(bench.sensor.ProgrammedBytes(), 10 * c.dataBytes);
  }
}

TEST(BootloaderVerify, PayloadCarriesTheFixedFieldsAndTheImageCheckValue) {
  TempFolder folder;
  for (int records : {3, 40}) {
    HexImageFile file;
    ASSERT_EQ(file.Open(folder.Write("fw.hex", FirmwareText(records))), HexOpenResult::Opened);
    BootloaderBench bench;
    ASSERT_TRUE(bench.bootloader.BootloaderVerify(file));
    const std::uint16_t check = file.ImageCheckValue();
    ASSERT_EQ(bench.sensor.payloads.size(), 1u);
    EXPECT_EQ(bench.sensor.payloads[0],
              (std::vector<std::uint8_t>{0x04, 0x04, 0x00, 0x00, 0x00, 0xFA, 0x1F, 0x01, 0x00,
                                         static_cast<std::uint8_t>(check & 0xFF), static_cast<std::uint8_t>(check >> 8)}));
  }
}

TEST(Bootloader, SilentSensorMakesEachRequestFailAfterItsPollLimit) {
  TempFolder folder;
  HexImageFile file;
  ASSERT_EQ(file.Open(folder.Write("fw.hex", FirmwareText(30))), HexOpenResult::Opened);
  struct Case {
    const char* name;
    std::function<bool(Bootloader&)> operation;
    std::int64_t elapsedMs;
    int progressSteps;
  } const cases[] = {
      {"version", [](Bootloader& b) { return b.BootloaderVersion(); }, 100, 0},
      {"erase", [](Bootloader& b) { return b.BootloaderErase(); }, 10000, 1000},
      {"write", [&file](Bootloader& b) { return b.BootloaderWrite(file); }, 10000, 0},
      {"verify", [&file](Bootloader& b) { return b.BootloaderVerify(file); }, 5000, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BootloaderBench bench;
    bench.sensor.answersVersion = bench.sensor.answersErase = bench.sensor.answersVerify = false;
    bench.sensor.writesAnswered = 0;
    EXPECT_FALSE(c.operation(bench.bootloader));
    EXPECT_EQ(bench.clock.NowMs(), c.elapsedMs);
    EXPECT_EQ(bench.user.progressSteps, c.progressSteps);
    EXPECT_EQ(bench.channel->writes.size(), 1u) << "nothing more is sent after an unanswered request";
    EXPECT_EQ(bench.channel->flushCount, 1) << "the buffer is emptied before the request";
  }
}

TEST(Bootloader, ReplyCountsAndTheRunRequest) {
  BootloaderBench bench;
  // A version reply longer than needed satisfies the wait as soon as it is
  // complete, within the 10 ms poll; the bytes are counted, not read.
  bench.channel->responder = [](const Written&) { return std::vector<std::uint8_t>{1, 0x10, 4, 0x10, 1, 0, 0, 9, 4}; };
  bench.channel->replyDelayMs = 25;
  EXPECT_TRUE(bench.bootloader.BootloaderVersion());
  EXPECT_EQ(bench.clock.NowMs(), 25);
  EXPECT_EQ(bench.channel->writes[0].bytes, (std::vector<std::uint8_t>{0x01, 0x10, 0x01, 0x21, 0x10, 0x10, 0x04}));
  // Erase: one progress step per poll, the poll that sees the reply included.
  bench.user = ScriptedUser();
  EXPECT_TRUE(bench.bootloader.BootloaderErase());
  EXPECT_EQ(bench.user.progressSteps, 3);
  EXPECT_EQ(bench.user.events, (std::vector<std::string>{"position 0", "title 130", "max 1000", "show", "close"}));
  // Run waits for nothing and always succeeds.
  bench.channel->responder = nullptr;
  const std::int64_t before = bench.clock.NowMs();
  EXPECT_TRUE(bench.bootloader.BootloaderRun());
  EXPECT_EQ(bench.clock.NowMs(), before);
  EXPECT_EQ(bench.channel->writes.back().bytes, (std::vector<std::uint8_t>{0x01, 0x05, 0xA5, 0x50, 0x04}));
}

TEST(Bootloader, AnAcknowledgementIsTakenWhenItsFrameEnds) {
  // At 57600 baud a byte takes 174 us; the line counts as quiet after 348.
  struct Case {
    const char* name;
    std::vector<std::uint8_t> reply;
    std::int64_t everyUs;  // 0: all bytes at once
    std::int64_t endUs;    // from the request, sent at 0
  } const cases[] = {
      {"a write acknowledgement is taken at its end byte, past the five awaited",
       {0x01, 0x03, 0x00, 0x30, 0x60, 0x04}, 174, 5000 + 5 * 174},
      {"an escaped 04 is no end: the wait takes the quiet line", {0x01, 0x03, 0x21, 0x10, 0x04}, 0, 5348},
      {"an escaped 10 before the end byte", {0x01, 0x03, 0x00, 0x10, 0x10, 0x04}, 0, 5000},
      {"a reply without an end byte", {0x01, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00}, 0, 5348},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BootloaderBench bench;
    bench.channel->responder = nullptr;
    bench.clock.Sleep(777);
    const std::int64_t start = bench.clock.NowUs();
    bench.channel->responder = [&](const Written&) {
      for (std::size_t i = 0; i < c.reply.size(); ++i) {
        bench.channel->FeedAt(5000 + static_cast<std::int64_t>(i) * c.everyUs, {c.reply[i]});
      }
      return std::vector<std::uint8_t>{};
    };
    EXPECT_TRUE(bench.bootloader.BootloaderExchange({kBootloaderWrite, 0x00}, 5, 1000));
    EXPECT_EQ(bench.clock.NowUs() - start, c.endUs);
  }
}

TEST(BootloaderWrite, ClosedFileFailsWithoutSending) {
  BootloaderBench bench;
  HexImageFile file;
  EXPECT_FALSE(bench.bootloader.BootloaderWrite(file));
  EXPECT_TRUE(bench.channel->writes.empty());
}
