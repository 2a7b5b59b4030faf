#pragma once
// The command-line tool's session: the port it talks through and the same
// core procedures the windows use, with a terminal user interface.
//
//   oil-debris-cli [--port PORT] COMMAND [ARGS]
//
// Exit status: 0 success, 1 the sensor did not do what was asked (or its
// device went away: "the serial device DEVICE was disconnected"), 2 usage
// error, an unreadable or refused input file, or a port that cannot be opened.

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "config/Session.h"
#include "link/Clock.h"
#include "link/CommandExchange.h"
#include "link/PortMap.h"
#include "link/UserInterface.h"

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

// Progress on stderr as a text bar; messages on stderr; answers from flags.
class TerminalUser : public UserInterface {
 public:
  MessageAnswer ShowMessage(const Message& message) override;
  void ProgressTitle(int entry) override;
  void ProgressMaximum(int maximum) override;
  void ProgressPosition(int position) override;
  void ProgressStep() override;
  void ProgressShow() override;
  void ProgressClose() override;
  void ProcessEvents() override {}
  void SetMainCaption(const std::string&) override {}
  std::optional<std::string> ChooseOpenFile(const std::string& filter) override;
  std::optional<std::string> ChooseSaveFile(const std::string& filter, const std::string& defaultExtension) override;
  void StopStatusPoll() override {}
  void StartStatusPoll() override {}
  void StopReportingPoll() override {}
  void StartReportingPoll() override {}
  bool ReportingVisible() override { return false; }

  // The file the next file choice returns (the command's argument).
  std::optional<std::string> file;
  // Answer to Yes/No questions: Yes unless `answers` names the question's
  // first entry with another answer.
  bool answerYes = true;
  std::map<int, MessageAnswer> answers;
  // Show the progress at all (the port search turns it off).
  bool showProgress = true;
  // Draw a bar redrawn in place (stderr is a terminal); otherwise a line is
  // printed at each tenth of the work, so that a log holds no carriage
  // returns and no hundred redrawings.
  bool terminal = false;
  // Messages shown so far, for the command to report.
  std::vector<Message> messages;

 private:
  void Draw();
  std::string title_;
  int maximum_ = 0;
  int position_ = 0;
  bool shown_ = false;
  // The last tenth of the work a line was printed for (no terminal).
  int tenthShown_ = -1;
};

// The session with the sensor as the windows have it, over the port given
// with --port or found by the configurator's own port search.
class CliSession {
 public:
  explicit CliSession(std::optional<std::string> port);

  // Opens the port given with --port, or searches COM1 to COM99 as the
  // program does (one "I" each, the highest answering port wins). Prints what
  // went wrong on stderr and returns the exit status; kExitOk when connected.
  int Connect();

  Session& Core() { return session_; }
  CommandExchange& Exchange() { return session_.Exchange(); }
  TerminalUser& User() { return user_; }
  Clock& Time() { return clock_; }
  LinkState& Link() { return session_.Link(); }
  const PortMap& Ports() const { return session_.Ports(); }
  // The sensor's device when it went away during the command (unplugged, or
  // its far end closed); nothing while it is there.
  std::optional<std::string> LostDevice();
  // Notes the device of the sensor's port, for LostDevice (after Connect,
  // and after a reconnection).
  void NoteDevice();

 private:
  int OpenGivenPort();
  int SearchSensorPort();

  std::optional<std::string> port_;
  std::string device_;
  SteadyClock clock_;
  TerminalUser user_;
  Session session_{clock_, user_};
};

// Parses a register address: hexadecimal with or without 0x, 0 to FFFF.
bool ParseAddress(const std::string& text, unsigned& address);
// Parses a value with the rules of C's "%i" (0x hexadecimal, leading-0 octal).
bool ParseValue(const std::string& text, long& value);

// A command: its arguments after the command name; returns the exit status.
// Each command lives in a file of its own in cli/.
int RunPorts(CliSession& session, const std::vector<std::string>& args);
int RunIdentify(CliSession& session, const std::vector<std::string>& args);
int RunStatus(CliSession& session, const std::vector<std::string>& args);
// read ADDR [--bytes 2|4]: the register's value in hexadecimal and decimal.
int RunRead(CliSession& session, const std::vector<std::string>& args);
// write ADDR VALUE [--bytes 2|4]: unlocks, writes, locks again.
int RunWrite(CliSession& session, const std::vector<std::string>& args);
// features: the features word and what it means.
int RunFeatures(CliSession& session, const std::vector<std::string>& args);
// monitor [--seconds N] [--log FILE] [--raw FILE]: the reporting poll.
int RunMonitor(CliSession& session, const std::vector<std::string>& args);
// upgrade FILE.hex: replaces the sensor's firmware through its bootloader.
int RunUpgrade(CliSession& session, const std::vector<std::string>& args);
// export FILE, import FILE [--backup FILE2], defaults small|medium|large
// [--zero-tare] [--backup FILE2], diff FILE: the configuration files.
int RunExport(CliSession& session, const std::vector<std::string>& args);
int RunImport(CliSession& session, const std::vector<std::string>& args);
int RunDefaults(CliSession& session, const std::vector<std::string>& args);
int RunDiff(CliSession& session, const std::vector<std::string>& args);
// The configure window's pages, each inside its opening and closing frame:
// settings, set NAME VALUE, calibrate ACTION, j1939.
int RunSettings(CliSession& session, const std::vector<std::string>& args);
int RunSet(CliSession& session, const std::vector<std::string>& args);
int RunCalibrate(CliSession& session, const std::vector<std::string>& args);
int RunJ1939(CliSession& session, const std::vector<std::string>& args);
