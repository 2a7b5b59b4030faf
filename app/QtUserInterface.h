#pragma once
// The windows' side of the user interface the procedures talk to: message
// boxes without icons, the progress window TForm3, file dialogs, letting
// pending events run, the main window's caption and the two polls.

#include <QString>
#include <functional>

#include "link/UserInterface.h"

class QTimer;
class QWidget;
class QMessageBox;
class TForm3;

class QtUserInterface : public UserInterface {
 public:
  QtUserInterface() = default;

  // Collaborators, set once the windows exist.
  void SetMainWindow(QWidget* window) { mainWindow_ = window; }
  void SetProgressWindow(TForm3* window) { progress_ = window; }
  void SetStatusTimer(QTimer* timer) { statusTimer_ = timer; }

  // The reporting window's poll, once that window exists: its timer and
  // whether it is visible. Without them there is no reporting poll.
  std::function<void()> startReportingPoll;
  std::function<void()> stopReportingPoll;
  std::function<bool()> reportingVisible;

  // For automated runs: answer message boxes and file choices without
  // showing a dialog. Unset, the real dialogs are shown.
  std::function<MessageAnswer(const Message&)> answerMessage;
  std::function<std::optional<std::string>(const std::string& filter, const std::string& defaultExtension,
                                           bool save)>
      answerFileChoice;

  MessageAnswer ShowMessage(const Message& message) override;
  void ProgressTitle(int entry) override;
  void ProgressMaximum(int maximum) override;
  void ProgressPosition(int position) override;
  void ProgressStep() override;
  void ProgressShow() override;
  void ProgressClose() override;
  void ProcessEvents() override;
  void SetMainCaption(const std::string& caption) override;
  std::optional<std::string> ChooseOpenFile(const std::string& filter) override;
  std::optional<std::string> ChooseSaveFile(const std::string& filter, const std::string& defaultExtension) override;
  void StopStatusPoll() override;
  void StartStatusPoll() override;
  void StopReportingPoll() override;
  void StartReportingPoll() override;
  bool ReportingVisible() override;

  // The message box a message is shown in: title and text in the current
  // language, its buttons, no icon.
  static QMessageBox* BuildMessageBox(const Message& message, QWidget* parent);
  // "Description|*.ext|Other|*.o" as a file dialog filter
  // "Description (*.ext);;Other (*.o)".
  static QString FileDialogFilter(const std::string& filter);

 private:
  QWidget* mainWindow_ = nullptr;
  TForm3* progress_ = nullptr;
  QTimer* statusTimer_ = nullptr;
};
