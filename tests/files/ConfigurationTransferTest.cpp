// Export, import and factory defaults against a fake sensor: the traffic,
// the file's lines, the messages, the progress window and the status poll.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

#include "app/Unit9.h"
#include "config/RegisterMap.h"
#include "files/ConfigurationTransfer.h"
#include "tests/support/SessionFixture.h"
#include "tests/support/TempFolder.h"

namespace {

class ConfigurationTransfer : public SessionFixture {
 protected:
  ConfigurationTransfer() {
    SetLanguage(0);
    // Every exported register holds its address plus 0x100, the features
    // word 0041.
    for (std::uint16_t address : ExportList()) sensor.Set16(address, static_cast<std::uint16_t>(address + 0x100));
    sensor.Set16(0x001E, 0x0041);
  }
  std::string Path(const std::string& name) const { return temp.File(name); }
  std::string Write(const std::string& name, const std::string& text) const { return temp.Write(name, text); }
  static std::string Read(const std::string& path) { return ReadBytes(path); }
  // The progress window's events, without the poll's.
  std::vector<std::string> ProgressEvents() const {
    std::vector<std::string> progress;
    for (const std::string& e : user.events) {
      if (e.rfind("status", 0) != 0 && e.rfind("message", 0) != 0) progress.push_back(e);
    }
    return progress;
  }

  TempFolder temp;
};

TEST_F(ConfigurationTransfer, ExportReadsTheThirtyEightRegistersInOrderIntoCrLfLines) {
  user.files.push_back(Path("sensor.dsc"));
  const TransferResult result = ExportConfiguration(session);
  EXPECT_EQ(result.outcome, TransferOutcome::Completed);
  EXPECT_EQ(result.lines, 38);
  EXPECT_EQ(user.filters, std::vector<std::string>{"Config files|*.dsc .dsc"});

  const std::vector<std::string> sent = Sent();
  ASSERT_EQ(sent.size(), 40u);
  EXPECT_EQ(sent[0], "");
  EXPECT_EQ(sent[1], "U 5E2B");
  EXPECT_EQ(sent[2], "R 001e 02");
  EXPECT_EQ(sent[3], "R 0000 02");
  EXPECT_EQ(sent[39], "R 00c8 02");

  const std::string text = Read(Path("sensor.dsc"));
  EXPECT_EQ(text.substr(0, 18), "1e:0041\r\n00:0100\r\n");
  EXPECT_NE(text.find("\r\n0c:010c\r\n"), std::string::npos);
  EXPECT_EQ(text.size(), 38u * 9u);
  EXPECT_EQ(text.substr(text.size() - 9), "c8:01c8\r\n");

  EXPECT_TRUE(user.messages.empty());
  EXPECT_EQ(ProgressEvents(), (std::vector<std::string>{"title 161", "max 38", "position 0", "show", "close"}));
  EXPECT_EQ(user.progressSteps, 38);
  EXPECT_EQ(user.processEventsCount, 38);
  EXPECT_EQ(user.events.front(), "status stop");
  EXPECT_EQ(user.events.back(), "status start");
}

TEST_F(ConfigurationTransfer, AnUnreadableRegisterIsLeftOutAndTheSavingErrorFollows) {
  sensor.SilenceReadsOf(0x0036);
  user.files.push_back(Path("partial.dsc"));
  const TransferResult result = ExportConfiguration(session);
  EXPECT_EQ(result.outcome, TransferOutcome::Incomplete);
  EXPECT_EQ(result.lines, 37);
  const std::string text = Read(Path("partial.dsc"));
  EXPECT_EQ(text.size(), 37u * 9u);
  EXPECT_EQ(text.find("36:"), std::string::npos);
  EXPECT_NE(text.find("\r\n34:0134\r\n38:0138\r\n"), std::string::npos);
  ASSERT_EQ(user.messages.size(), 1u);
  EXPECT_EQ(user.messages[0].title, 128);
  EXPECT_EQ(user.messages[0].text, "There has been an error saving configuration. Please try again.");
  EXPECT_EQ(user.progressSteps, 38);
  EXPECT_EQ(user.events.back(), "status start");
}

TEST_F(ConfigurationTransfer, ExportingASilentSensorGivesAnEmptyFileAndTheSavingError) {
  channel->responder = nullptr;
  user.files.push_back(Path("empty.dsc"));
  EXPECT_EQ(ExportConfiguration(session).lines, 0);
  EXPECT_EQ(Read(Path("empty.dsc")), "");
  ASSERT_EQ(user.messages.size(), 1u);
  EXPECT_EQ(user.messages[0].entry, 162);
}

TEST_F(ConfigurationTransfer, ACancelledOrUncreatableExportSendsNothing) {
  EXPECT_EQ(ExportConfiguration(session).outcome, TransferOutcome::Cancelled);
  ASSERT_EQ(user.messages.size(), 1u);
  EXPECT_EQ(user.messages[0].text, "Save file cancelled");
  EXPECT_EQ(user.messages[0].title, 128);

  // A FIFO, read or not, would hang a blocking open or swallow the export; a
  // device is no configuration file either. Each is refused at once.
  const std::string unread = Path("unread.fifo");
  const std::string read = Path("read.fifo");
  ASSERT_EQ(::mkfifo(unread.c_str(), 0600), 0);
  ASSERT_EQ(::mkfifo(read.c_str(), 0600), 0);
  const int reader = ::open(read.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  ASSERT_GE(reader, 0);
  struct Case {
    std::string path;
    std::string detail;
  } const cases[] = {
      {Path("no-such-folder/sensor.dsc"),
       "cannot create " + Path("no-such-folder/sensor.dsc") + ": No such file or directory"},
      {unread, unread + " is not a regular file"},
      {read, read + " is not a regular file"},
      {"/dev/null", "/dev/null is not a regular file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    user.messages.clear();
    user.events.clear();
    user.files.push_back(c.path);
    const TransferResult result = ExportConfiguration(session);
    EXPECT_EQ(result.outcome, TransferOutcome::FileRefused);
    EXPECT_EQ(result.detail, c.detail);
    ASSERT_EQ(user.messages.size(), 1u);
    EXPECT_EQ(user.messages[0].text, "There has been an error saving configuration. Please try again.");
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(user.events.back(), "status start");
  }
  char byte = 0;
  EXPECT_EQ(::read(reader, &byte, 1), 0) << "nothing went into the FIFO";
  ::close(reader);
}

TEST_F(ConfigurationTransfer, AnExportOverAnExistingFileEmptiesItFirst) {
  const std::string path = Write("old.dsc", std::string(1000, 'x'));
  user.files.push_back(path);
  EXPECT_EQ(ExportConfiguration(session).outcome, TransferOutcome::Completed);
  EXPECT_EQ(Read(path).size(), 38u * 9u);
  EXPECT_EQ(Read(path).substr(0, 9), "1e:0041\r\n");
}

TEST_F(ConfigurationTransfer, WhileTheReportingWindowShowsItsPollIsTheOneRestarted) {
  user.reportingVisible = true;
  user.files.push_back(Path("sensor.dsc"));
  user.files.push_back(Write("in.dsc", "1e:0041\n"));
  const std::function<void()> procedures[] = {
      [&] { ExportConfiguration(session); },
      [&] { ImportConfiguration(session); },
      [&] { RestoreFactoryDefaults(session, 1); },
  };
  for (const auto& run : procedures) {
    user.events.clear();
    user.reportingPollRunning = false;
    run();
    EXPECT_EQ(user.events.back(), "reporting start") << ::testing::PrintToString(user.events);
    EXPECT_TRUE(user.reportingPollRunning);
  }
}

TEST_F(ConfigurationTransfer, ImportWritesEveryLineThenReloadsAndReadsTheFeatures) {
  const std::string files[] = {
      Write("crlf.dsc", "1e:0040\r\n26:047e\r\n0c:00ac\r\n"),
      Write("lf.dsc", "1e:0040\n26:047e\n0c:00ac\n"),
      Write("upper.dsc", "1E:0040\n26:047E\n\n0C:00AC"),
  };
  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    Forget();
    user.progressSteps = 0;
    user.files.push_back(file);
    const TransferResult result = ImportConfiguration(session);
    EXPECT_EQ(result.outcome, TransferOutcome::Completed);
    EXPECT_EQ(result.lines, 3);
    EXPECT_EQ(Sent(), (std::vector<std::string>{"", "U 5E2B", "W 001e 40", "W 001f 00", "W 0026 7e", "W 0027 04",
                                                "W 000c ac", "W 000d 00", "Z", "R 001e 02"}));
    EXPECT_EQ(ProgressEvents(), (std::vector<std::string>{"title 165", "max 3", "position 0", "show", "close"}));
    EXPECT_EQ(user.progressSteps, 3);
    EXPECT_EQ(state.FeaturesWord, 0x0040);
    EXPECT_EQ(user.events.back(), "status start");
  }
  EXPECT_EQ(user.filters.back(), "Config files (*.dsc)|*.dsc");
  EXPECT_TRUE(user.messages.empty());
}

TEST_F(ConfigurationTransfer, AnAddressOutsideTheExportListIsWrittenAllTheSame) {
  user.files.push_back(Write("odd.dsc", "50:1234\n"));
  EXPECT_EQ(ImportConfiguration(session).outcome, TransferOutcome::Completed);
  EXPECT_EQ(sensor.Get16(0x0050), 0x1234);
}

TEST_F(ConfigurationTransfer, AFailedWriteDoesNotStopTheImportButWithholdsTheReload) {
  sensor.SilenceWritesTo(0x0026);
  user.files.push_back(Write("three.dsc", "1e:0040\n26:047e\n0c:00ac\n"));
  const TransferResult result = ImportConfiguration(session);
  EXPECT_EQ(result.outcome, TransferOutcome::Incomplete);
  EXPECT_EQ(result.lines, 2);
  EXPECT_EQ(Sent(), (std::vector<std::string>{"", "U 5E2B", "W 001e 40", "W 001f 00", "W 0026 7e", "W 0026 7e",
                                              "W 000c ac", "W 000d 00", "R 001e 02"}));
  ASSERT_EQ(user.messages.size(), 1u);
  EXPECT_EQ(user.messages[0].text, "There has been an error writing configuration. Please try again.");
  EXPECT_EQ(user.events.back(), "status start");
}

TEST_F(ConfigurationTransfer, ARefusedOrCancelledImportSendsNothingAtAll) {
  user.files.push_back(Write("bad.dsc", "1e:0040\n026:047e\n"));
  const TransferResult refused = ImportConfiguration(session);
  EXPECT_EQ(refused.outcome, TransferOutcome::FileRefused);
  EXPECT_EQ(refused.detail, Path("bad.dsc") + ": line 2: the register address has more than two hexadecimal digits");
  ASSERT_EQ(user.messages.size(), 1u);
  EXPECT_EQ(user.messages[0].text, "There has been an error writing configuration. Please try again.");
  EXPECT_EQ(user.messages[0].detail, refused.detail);

  user.files.push_back(Path("missing.dsc"));
  EXPECT_EQ(ImportConfiguration(session).outcome, TransferOutcome::FileRefused);
  EXPECT_EQ(user.messages.at(1).entry, 166);

  EXPECT_EQ(ImportConfiguration(session).outcome, TransferOutcome::Cancelled);
  EXPECT_EQ(user.messages.at(2).text, "Open file cancelled");

  EXPECT_TRUE(Sent().empty());
  EXPECT_EQ(user.events.back(), "status start");
}

TEST_F(ConfigurationTransfer, RestoringDefaultsAsksTwiceAndRunsZeroTareOnYes) {
  struct Case {
    std::vector<MessageAnswer> answers;
    std::vector<std::string> sent;
  };
  const Case cases[] = {
      {{MessageAnswer::No}, {}},
      {{MessageAnswer::Yes, MessageAnswer::No}, {"", "U 5E2B", "D 2", "R 001e 02"}},
      {{MessageAnswer::Yes, MessageAnswer::Yes}, {"", "U 5E2B", "D 2", "R 001e 02", "cn", "R 003a 02", "R 003c 02"}},
  };
  for (const Case& c : cases) {
    Forget();
    user.messages.clear();
    user.answers.assign(c.answers.begin(), c.answers.end());
    const std::int64_t start = clock.NowMs();
    RestoreFactoryDefaults(session, 2);
    EXPECT_EQ(Sent(), c.sent);
    ASSERT_EQ(user.messages.size(), c.answers.size());
    EXPECT_EQ(user.messages[0].title, 157);
    EXPECT_EQ(user.messages[0].text, "Are you sure you want to restore factory defaults");
    EXPECT_EQ(user.messages[0].buttons, MessageButtons::YesNo);
    if (c.answers.size() > 1) {
      EXPECT_EQ(user.messages[1].title, 158);
      EXPECT_EQ(user.messages[1].text,
                "Perform Zero/Tare function (recommended)?\n\n"
                "Note - Ensure probe is free from Debris and away from sources of metallic interference");
      // 100 ms, the unlock's 20 + 20, 50 ms, then "D 2"; a second later the features read.
      EXPECT_EQ(channel->writes[channel->writes.size() - c.sent.size() + 2].atMs - start, 190);
    }
    EXPECT_EQ(user.events.front(), "status stop");
    EXPECT_EQ(user.events.back(), "status start");
  }
}

}  // namespace
