#pragma once
// Everything a procedure needs from the person in front of the program:
// message boxes, the progress window, file choices, letting pending events
// run, and the two polls (the main window's status poll and the reporting
// window's poll). The Qt windows, the command-line tool and the tests each
// implement it.

#include <optional>
#include <string>
#include <vector>

enum class MessageButtons { Ok, YesNo, OkCancel };
enum class MessageAnswer { Ok, Cancel, Yes, No };

// A message box. `title` and `entry` are string-table entries (`entry` is the
// first entry of the text, so that callers and tests can tell messages
// apart); `text` is the whole text in the current language.
struct Message {
  int title = 128;
  int entry = -1;
  std::string text;
  MessageButtons buttons = MessageButtons::Ok;
  // Extra detail for the command-line tool and the debug log (for example the
  // line and reason of a refused file); windows do not show it.
  std::string detail;
};

// A box titled 128 "Error" with one OK button; `text` begins with entry `entry`.
inline Message ErrorMessage(int entry, std::string text) {
  Message message;
  message.title = 128;
  message.entry = entry;
  message.text = std::move(text);
  return message;
}

class UserInterface {
 public:
  virtual ~UserInterface() = default;

  virtual MessageAnswer ShowMessage(const Message& message) = 0;

  // The progress window.
  virtual void ProgressTitle(int entry) = 0;
  virtual void ProgressMaximum(int maximum) = 0;
  virtual void ProgressPosition(int position) = 0;
  virtual void ProgressStep() = 0;
  virtual void ProgressShow() = 0;
  virtual void ProgressClose() = 0;

  // Lets pending user-interface events run (timer ticks, clicks, repaints).
  virtual void ProcessEvents() = 0;

  // The main window's caption.
  virtual void SetMainCaption(const std::string& caption) = 0;

  // File choices; `filter` is written "Description|*.ext". No value: cancelled.
  virtual std::optional<std::string> ChooseOpenFile(const std::string& filter) = 0;
  virtual std::optional<std::string> ChooseSaveFile(const std::string& filter,
                                                    const std::string& defaultExtension) = 0;

  // The polls.
  virtual void StopStatusPoll() = 0;
  virtual void StartStatusPoll() = 0;
  virtual void StopReportingPoll() = 0;
  virtual void StartReportingPoll() = 0;
  virtual bool ReportingVisible() = 0;
};

// A user interface that shows nothing: every message is answered with its
// first button (OK, or Yes), no file is chosen, there is no progress window
// and no poll. The benchmarks and the fuzzers build on it.
class QuietUser : public UserInterface {
 public:
  MessageAnswer ShowMessage(const Message& message) override {
    return message.buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
  }
  void ProgressTitle(int) override {}
  void ProgressMaximum(int) override {}
  void ProgressPosition(int) override {}
  void ProgressStep() override {}
  void ProgressShow() override {}
  void ProgressClose() override {}
  void ProcessEvents() override {}
  void SetMainCaption(const std::string&) override {}
  std::optional<std::string> ChooseOpenFile(const std::string&) override { return std::nullopt; }
  std::optional<std::string> ChooseSaveFile(const std::string&, const std::string&) override { return std::nullopt; }
  void StopStatusPoll() override {}
  void StartStatusPoll() override {}
  void StopReportingPoll() override {}
  void StartReportingPoll() override {}
  bool ReportingVisible() override { return false; }
};
