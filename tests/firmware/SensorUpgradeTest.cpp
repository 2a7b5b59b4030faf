// The upgrade procedure end to end on a fake sensor and a virtual clock:
// every outcome's message and the state it leaves, the exchange guard, and
// real-world firmware files programmed and verified.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <optional>

#include "firmware/Bootloader.h"
#include "firmware/SensorUpgrade.h"
#include "tests/firmware/FakeSensor.h"
#include "tests/firmware/HexText.h"

namespace {
// A sensor running its application on COM 3 at 19200 baud, the status poll
// running, and a firmware file for the file choice.
struct UpgradeBench {
  explicit UpgradeBench(const std::string& firmwarePath) {
    channel->OpenPort(3, 19200);
    channel->replyDelayMs = 20;
    state.m_comms[3] = std::move(owned);
    state.m_comnum = 3;
    state.m_failcount = 4;
    user.statusPollRunning = true;
    user.files.push_back(firmwarePath);
  }
  UpgradeOutcome Run() {
    hooks.clearStatusDisplay = [this] { ++displayCleared; };
    SensorUpgrade upgrade(exchange, file, hooks);
    const UpgradeOutcome outcome = upgrade.Run();
    reached = upgrade.Reached();
    rebooted = upgrade.Rebooted();
    return outcome;
  }
  // Bootloader payloads sent with command byte `command`.
  int Payloads(std::uint8_t command) const {
    int n = 0;
    for (const std::vector<std::uint8_t>& p : sensor.payloads) n += p[0] == command ? 1 : 0;
    return n;
  }
  // Text commands, then "frames" for the bootloader's part, in order.
  std::vector<std::string> Conversation() const {
    std::vector<std::string> said;
    for (const Written& w : channel->writes) {
      const std::string what = w.bytes.front() == 0x01 ? "frame" : w.Text();
      if (what != "frame" || said.empty() || said.back() != "frame") said.push_back(what);
    }
    return said;
  }
  VirtualClock clock;
  ScriptedUser user;
  LinkState state;
  CommandExchange exchange{state, clock, user};
  HexImageFile file;
  UpgradeHooks hooks;
  UpgradeStep reached = UpgradeStep::Version;
  bool rebooted = false;
  int displayCleared = 0;
  std::unique_ptr<FakeChannel> owned = std::make_unique<FakeChannel>(clock);
  FakeChannel* channel = owned.get();
  FakeSensor sensor{*channel};
};
}  // namespace

TEST(SensorUpgrade, EveryOutcomeEndsWithItsMessageAndItsState) {
  TempFolder folder;
  const std::string firmware = folder.Write("fw.hex", FirmwareText(40));
  const std::vector<std::string> rebooted = {"I", "", "U 5E2B", "Q", "frame"};
  struct Case {
    const char* name;
    std::function<void(FakeSensor&)> setup;
    UpgradeOutcome outcome;
    int entry, title;
    std::vector<std::string> conversation;
  } const cases[] = {
      {"programmed", [](FakeSensor&) {}, UpgradeOutcome::Programmed, 138, 159,
       {"I", "", "U 5E2B", "Q", "frame", "I"}},
      {"sensor left in its bootloader is programmed without the reboot",
       [](FakeSensor& s) { s.inBootloader = true; }, UpgradeOutcome::Programmed, 138, 159,
       {"I", "frame", "I"}},
      {"new application does not answer", [](FakeSensor& s) { s.runStartsApplication = false; },
       UpgradeOutcome::ProgrammedNotAnswering, 138, 159, {"I", "", "U 5E2B", "Q", "frame", "I", "I", "I", "I", "I"}},
      {"no bootloader version", [](FakeSensor& s) { s.answersVersion = false; }, UpgradeOutcome::VersionFailed, 134, 128,
       rebooted},
      {"erase not acknowledged", [](FakeSensor& s) { s.answersErase = false; }, UpgradeOutcome::EraseFailed, 135, 128,
       rebooted},
      {"second write request not acknowledged", [](FakeSensor& s) { s.writesAnswered = 1; },
       UpgradeOutcome::ProgramFailed, 136, 128, rebooted},
      {"verify not acknowledged", [](FakeSensor& s) { s.answersVerify = false; }, UpgradeOutcome::VerifyFailed, 137, 128,
       rebooted},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UpgradeBench bench(firmware);
    c.setup(bench.sensor);
    const bool wasInBootloader = bench.sensor.inBootloader;
    EXPECT_EQ(bench.Run(), c.outcome);
    ASSERT_EQ(bench.user.messages.size(), 1u);
    EXPECT_EQ(bench.user.messages[0].entry, c.entry);
    EXPECT_EQ(bench.user.messages[0].title, c.title);
    EXPECT_EQ(bench.user.filters, (std::vector<std::string>{"Hex files (*.hex)|*.hex"}));
    std::vector<std::string> conversation = bench.Conversation();
    if (wasInBootloader) {
      // Five unanswered identification attempts before the bootloader.
      ASSERT_GE(conversation.size(), 5u);
      EXPECT_EQ(std::vector<std::string>(conversation.begin(), conversation.begin() + 5), std::vector<std::string>(5, "I"));
      conversation.erase(conversation.begin(), conversation.begin() + 4);
    }
    EXPECT_EQ(conversation, c.conversation);
    EXPECT_EQ(bench.sensor.badFrames, 0) << "frames only at 57600 baud, text only at 19200";
    EXPECT_EQ(bench.channel->baud, 19200);
    EXPECT_FALSE(bench.file.IsOpen());
    EXPECT_FALSE(bench.state.m_exchangeActive);
    EXPECT_EQ(bench.displayCleared, 1);
    EXPECT_EQ(bench.user.events.front(), "status stop");
    // Whether the new application answers or not, the window goes on as after a success.
    const bool programmed = c.outcome == UpgradeOutcome::Programmed || c.outcome == UpgradeOutcome::ProgrammedNotAnswering;
    EXPECT_EQ(bench.user.statusPollRunning, programmed);
    EXPECT_EQ(bench.state.m_failcount, programmed ? 0 : 4);
    if (c.outcome == UpgradeOutcome::Programmed) {
      EXPECT_EQ(bench.state.m_fwversion, 0x30u) << "the new application's version";
      ASSERT_TRUE(bench.sensor.verifiedCheck.has_value());
      EXPECT_EQ(*bench.sensor.verifiedCheck, bench.sensor.ProgrammedCheck());
    }
  }
}

TEST(SensorUpgrade, AStopRequestGivesUpTheCurrentRequestAndPutsThePortBack) {
  // The stop comes once the named request has gone out: its reply (20 ms
  // later) is no longer awaited and nothing more is sent.
  TempFolder folder;
  const std::string firmware = folder.Write("fw.hex", FirmwareText(40));
  struct Case {
    const char* name;
    bool inBootloader;
    int stopAfterCommand;  // 0: stop from the start of the bootloader phase
    UpgradeStep reached;
    std::vector<int> requests;  // version, erase, write, verify, run requests sent
  } const cases[] = {
      {"before the version request, rebooted", false, 0, UpgradeStep::Version, {0, 0, 0, 0, 0}},
      {"before the version request, left in its bootloader", true, 0, UpgradeStep::Version, {0, 0, 0, 0, 0}},
      {"waiting for the erase", false, kBootloaderErase, UpgradeStep::Erase, {1, 1, 0, 0, 0}},
      {"waiting for a write", false, kBootloaderWrite, UpgradeStep::Write, {1, 1, 1, 0, 0}},
      {"waiting for the verify", false, kBootloaderVerify, UpgradeStep::Verify, {1, 1, 5, 1, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UpgradeBench bench(firmware);
    bench.sensor.inBootloader = c.inBootloader;
    std::vector<std::string> phase;
    bench.hooks.bootloaderEntered = [&] { phase.push_back("entered at " + std::to_string(bench.channel->baud)); };
    bench.hooks.bootloaderLeft = [&] { phase.push_back("left at " + std::to_string(bench.channel->baud)); };
    bench.hooks.stopRequested = [&] { return c.stopAfterCommand == 0 || bench.Payloads(c.stopAfterCommand) > 0; };
    EXPECT_EQ(bench.Run(), UpgradeOutcome::Interrupted);
    EXPECT_EQ(bench.reached, c.reached);
    EXPECT_EQ(bench.rebooted, !c.inBootloader);
    EXPECT_EQ((std::vector<int>{bench.Payloads(kBootloaderVersion), bench.Payloads(kBootloaderErase),
                                bench.Payloads(kBootloaderWrite), bench.Payloads(kBootloaderVerify),
                                bench.Payloads(kBootloaderRun)}),
              c.requests);
    EXPECT_EQ(phase, (std::vector<std::string>{"entered at 19200", "left at 19200"}));
    EXPECT_TRUE(bench.user.messages.empty()) << "the caller reports the interruption";
    EXPECT_EQ(bench.channel->baud, 19200);
    EXPECT_FALSE(bench.file.IsOpen());
    EXPECT_FALSE(bench.state.m_exchangeActive);
    EXPECT_FALSE(bench.user.statusPollRunning);
    EXPECT_EQ(bench.state.m_failcount, 4);
    EXPECT_EQ(bench.user.events.back(), "close") << "a progress window that was open is closed";
  }
}

TEST(SensorUpgrade, CancelledOrRefusedFileSendsNothing) {
  TempFolder folder;
  std::string lastLineBroken = FirmwareText(30);
  lastLineBroken.replace(lastLineBroken.size() - 3, 2, "FE");  // end-of-file record checksum
  struct Case {
    const char* name;
    std::optional<std::string> path;
    UpgradeOutcome outcome;
    int entry;
    const char* detail;
  } const cases[] = {
      {"dialog cancelled", std::nullopt, UpgradeOutcome::Cancelled, 132, ""},
      {"file missing", folder.Path() + "/missing.hex", UpgradeOutcome::FileRefused, 133, "missing.hex"},
      {"bad checksum on the last line", folder.Write("a.hex", lastLineBroken), UpgradeOutcome::FileRefused, 133,
       "line 31: the record checksum is wrong"},
      {"blank line before the last record", folder.Write("b.hex", DataLine(0, {1}) + "\n\n" + kEndLine + "\n"),
       UpgradeOutcome::FileRefused, 133, "line 2: a blank line"},
      {"data only past the cut-off", SamplePath("arm-stm32f042-daytripper-rx-keil.hex"), UpgradeOutcome::FileRefused,
       133, "no data lies below 0x7FC000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UpgradeBench bench("");
    bench.user.files = {c.path};
    const std::string log = folder.Path() + "/debug.log";
    ASSERT_TRUE(bench.state.m_debuglog.Open(log));
    EXPECT_EQ(bench.Run(), c.outcome);
    bench.state.m_debuglog.Close();
    std::ifstream logged(log);
    const std::string logText((std::istreambuf_iterator<char>(logged)), std::istreambuf_iterator<char>());
    EXPECT_NE(logText.find(c.detail), std::string::npos) << "the debug log names the reason: " << logText;
    EXPECT_TRUE(bench.channel->writes.empty());
    ASSERT_EQ(bench.user.messages.size(), 1u);
    EXPECT_EQ(bench.user.messages[0].entry, c.entry);
    EXPECT_EQ(bench.user.messages[0].title, 128);
    EXPECT_NE(bench.user.messages[0].detail.find(c.detail), std::string::npos) << bench.user.messages[0].detail;
    EXPECT_TRUE(bench.user.statusPollRunning) << "the status display goes on";
    EXPECT_EQ(bench.displayCleared, 0);
    EXPECT_FALSE(bench.file.IsOpen());
  }
}

TEST(SensorUpgrade, TicksAndClicksDuringTheUpgradeFindTheGuardTaken) {
  TempFolder folder;
  UpgradeBench bench(folder.Write("fw.hex", FirmwareText(40)));
  bench.sensor.answersVerify = false;
  int ticks = 0, ticksThatSent = 0, ticksBetweenWrites = 0, clicks = 0, clicksRefused = 0;
  // A status tick takes the guard or skips; a menu click on "Sensor
  // Upgrade" starts the procedure again.
  const auto tick = [&] {
    ++ticks;
    ExchangeGuard guard(bench.state);
    if (!guard.Acquired()) return;
    ++ticksThatSent;
    bench.exchange.SendCommand("A");
  };
  bench.user.onProcessEvents = [&] {
    tick();
    const std::vector<Written>& writes = bench.channel->writes;
    if (bench.channel->baud == 57600 && !writes.empty() && writes.back().bytes.size() > 1 &&
        writes.back().bytes[1] == 0x03) {
      ++ticksBetweenWrites;
      ++clicks;
      HexImageFile other;
      if (SensorUpgrade(bench.exchange, other).Run() == UpgradeOutcome::Busy) ++clicksRefused;
    }
  };
  bool tickedDuringMessage = false;
  bench.user.onMessage = [&](const Message&) {
    tickedDuringMessage = true;
    tick();
  };
  EXPECT_EQ(bench.Run(), UpgradeOutcome::VerifyFailed);
  EXPECT_TRUE(tickedDuringMessage);
  EXPECT_GT(ticksBetweenWrites, 0);
  EXPECT_GT(ticks, ticksBetweenWrites);
  EXPECT_EQ(ticksThatSent, 0);
  EXPECT_EQ(clicksRefused, clicks);
  EXPECT_EQ(bench.user.filters.size(), 1u) << "a refused click asks for no file";
  for (const std::string& text : bench.channel->Texts()) EXPECT_NE(text, "A");
  // Once the procedure is over, the next tick talks to the sensor again.
  tick();
  EXPECT_EQ(ticksThatSent, 1);
}

TEST(SensorUpgrade, RealWorldFirmwareIsProgrammedAndVerified) {
  // Data bytes below the cut-off, from the samples' descriptions: the
  // configuration words at 0x1F00000 and above stay out of the image. The
  // large dense image in upper-case digits is generated; its check value is
  // known beforehand.
  TempFolder folder;
  struct Case {
    const char* name;
    std::string path;
    std::size_t dataBytes;
    std::optional<std::uint16_t> check;
  } const cases[] = {
      {"pic24fj256gb106-buspirate-v4-bootloader.hex", SamplePath("pic24fj256gb106-buspirate-v4-bootloader.hex"), 10584,
       std::nullopt},
      {"dspic33fj128gp204-webplatform-ds33intro.hex", SamplePath("dspic33fj128gp204-webplatform-ds33intro.hex"),
       1836 - 16, std::nullopt},
      {"pic24hj-pic24lib-echo-app.hex", SamplePath("pic24hj-pic24lib-echo-app.hex"), 16992 - 28, std::nullopt},
      {"avr-atmega32u4-caterina-leonardoethernet-bootloader.hex",
       SamplePath("avr-atmega32u4-caterina-leonardoethernet-bootloader.hex"), 3942, std::nullopt},
      {"generated dense image", folder.Write("dense.hex", DenseFirmwareText()), kDenseFirmwareBytes,
       kDenseFirmwareCheck},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UpgradeBench bench(c.path);
    ASSERT_EQ(bench.Run(), UpgradeOutcome::Programmed)
        << (bench.user.messages.empty() ? "" : bench.user.messages[0].detail);
    EXPECT_EQ(bench.sensor.ProgrammedBytes(), c.dataBytes);
    ASSERT_TRUE(bench.sensor.verifiedCheck.has_value());
    EXPECT_EQ(*bench.sensor.verifiedCheck, bench.sensor.ProgrammedCheck());
    if (c.check) {
      EXPECT_EQ(*bench.sensor.verifiedCheck, *c.check);
    }
    EXPECT_EQ(bench.sensor.badFrames, 0);
  }
}

TEST(SensorUpgrade, WithoutASensorPortItEndsAtTheVersionRequest) {
  TempFolder folder;
  UpgradeBench bench(folder.Write("fw.hex", FirmwareText(5)));
  bench.state.m_comnum = kNoPort;
  EXPECT_EQ(bench.Run(), UpgradeOutcome::VersionFailed);
  ASSERT_EQ(bench.user.messages.size(), 1u);
  EXPECT_EQ(bench.user.messages[0].entry, 134);
  EXPECT_TRUE(bench.channel->writes.empty());
  EXPECT_FALSE(bench.file.IsOpen());
}

namespace {
// The first request for which `which` holds gets only `kept` bytes of its
// reply; then the line stalls or the device goes away.
enum class Cut { Stall, Disconnect };
void CutReply(UpgradeBench& bench, std::function<bool(const Written&)> which, std::size_t kept, Cut cut) {
  FakeChannel& channel = *bench.channel;
  channel.responder = [&channel, answer = channel.responder, which, kept, cut, done = false](const Written& w) mutable {
    if (!done && which(w)) {
      done = true;
      (cut == Cut::Stall ? channel.stallAfter : channel.disconnectAfter) = channel.Arrived() + kept;
    }
    return answer(w);
  };
}
// A frame whose command byte (escaped when it is 0x01 or 0x04) is `command`.
bool IsFrame(const Written& w, std::uint8_t command) {
  if (w.bytes.size() < 3 || w.bytes[0] != 0x01) return false;
  return w.bytes[1] == 0x10 ? w.bytes[2] == command : w.bytes[1] == command;
}
}  // namespace

// What a real line does to the procedure: an echo, failed writes and rate
// changes, a stall and a device that goes away in the middle of a reply.
TEST(SensorUpgrade, LineFaultsEndInTheFailedStepsMessage) {
  TempFolder folder;
  const std::string firmware = folder.Write("fw.hex", FirmwareText(40));
  const std::vector<std::string> rebooted = {"I", "", "U 5E2B", "Q", "frame"};
  const std::vector<std::string> unanswered = {"I", "I", "I", "I", "I", "frame"};
  struct Case {
    const char* name;
    std::function<void(UpgradeBench&)> fault;
    UpgradeOutcome outcome;
    int entry;
    std::vector<std::string> conversation;
    int finalBaud;
  } const cases[] = {
      {"echoing line with the sensor behind it", [](UpgradeBench& b) { b.channel->echo = true; },
       UpgradeOutcome::Programmed, 138, {"I", "", "U 5E2B", "Q", "frame", "I"}, 19200},
      {"echoing line with the sensor left in its bootloader",
       [](UpgradeBench& b) {
         b.channel->echo = true;
         b.sensor.inBootloader = true;
       },
       UpgradeOutcome::Programmed, 138, {"I", "I", "I", "I", "I", "frame", "I"}, 19200},
      {"bare echo: no sensor at all",
       [](UpgradeBench& b) {
         b.channel->echo = true;
         b.channel->responder = nullptr;
       },
       UpgradeOutcome::VersionFailed, 134, unanswered, 19200},
      {"the rate switch to 57600 baud fails", [](UpgradeBench& b) { b.channel->refusedBaud = 57600; },
       UpgradeOutcome::VersionFailed, 134, {"I", "", "U 5E2B", "Q"}, 19200},
      {"the version request cannot be written",
       [](UpgradeBench& b) { b.channel->writeFails = [](const Written& w) { return IsFrame(w, kBootloaderVersion); }; },
       UpgradeOutcome::VersionFailed, 134, rebooted, 19200},
      {"the third write request cannot be written",
       [](UpgradeBench& b) {
         b.channel->writeFails = [n = 0](const Written& w) mutable { return IsFrame(w, kBootloaderWrite) && ++n == 3; };
       },
       UpgradeOutcome::ProgramFailed, 136, rebooted, 19200},
      {"the line stalls in the middle of the erase acknowledgement",
       [](UpgradeBench& b) { CutReply(b, [](const Written& w) { return IsFrame(w, kBootloaderErase); }, 2, Cut::Stall); },
       UpgradeOutcome::EraseFailed, 135, rebooted, 19200},
      {"the device goes away in the middle of the version reply",
       [](UpgradeBench& b) {
         CutReply(b, [](const Written& w) { return IsFrame(w, kBootloaderVersion); }, 3, Cut::Disconnect);
       },
       UpgradeOutcome::VersionFailed, 134, rebooted, 57600},
      {"the device goes away in the middle of a write acknowledgement",
       [](UpgradeBench& b) {
         CutReply(b, [](const Written& w) { return IsFrame(w, kBootloaderWrite); }, 2, Cut::Disconnect);
       },
       UpgradeOutcome::ProgramFailed, 136, rebooted, 57600},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UpgradeBench bench(firmware);
    c.fault(bench);
    EXPECT_EQ(bench.Run(), c.outcome);
    ASSERT_EQ(bench.user.messages.size(), 1u);
    EXPECT_EQ(bench.user.messages[0].entry, c.entry);
    EXPECT_EQ(bench.Conversation(), c.conversation);
    EXPECT_EQ(bench.sensor.badFrames, 0);
    // A device that went away keeps the rate it had; the port is gone anyway.
    EXPECT_EQ(bench.channel->baud, c.finalBaud);
    EXPECT_FALSE(bench.file.IsOpen());
    const bool programmed = c.outcome == UpgradeOutcome::Programmed;
    EXPECT_EQ(bench.state.m_failcount, programmed ? 0 : 4);
    EXPECT_EQ(bench.user.statusPollRunning, programmed);
    if (programmed) {
      EXPECT_EQ(bench.state.m_fwversion, 0x30u);
    }
  }
}

TEST(SensorUpgrade, AFailedWriteEndsItsWaitAtOnce) {
  // Every write fails: five identification attempts of 50 ms each and a
  // version request that ends as soon as it is sent, not after its polls.
  TempFolder folder;
  UpgradeBench bench(folder.Write("fw.hex", FirmwareText(5)));
  bench.channel->writeFails = [](const Written&) { return true; };
  EXPECT_EQ(bench.Run(), UpgradeOutcome::VersionFailed);
  EXPECT_EQ(bench.clock.NowMs(), 100 + 5 * 50 + 100 + 10);
}
