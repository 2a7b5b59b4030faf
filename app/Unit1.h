#pragma once
// TForm1, the main window: live readings of the sensor, the main menu and
// the link to the sensor (channel table, sensor port, debug log). It is the
// first window created and the last closed.
//
// Every exchange with the sensor that starts from an event (a timer tick, a
// menu click, a button) runs through RunExchange: while one runs, poll ticks
// are skipped, the sensor menu items are disabled and a close of the window
// waits for the exchange to end.

#include <QMainWindow>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/StatusPoll.h"
#include "app/Startup.h"
#include "config/FeatureView.h"
#include "config/Session.h"
#include "firmware/HexImageFile.h"
#include "link/CommandExchange.h"
#include "link/PortMap.h"

namespace Ui {
class TForm1;
}
class QAction;
class QLabel;
class QLineEdit;
class QTimer;
class QtGauge;

// Where the features that live in other windows plug into the main window
// (set where the windows are created). The menu hooks that talk to the
// sensor run inside RunExchange and must not call RunExchange themselves. An
// unset hook makes its item do nothing.
struct MainWindowHooks {
  std::function<void()> configure;                      // Sensor > Configure (EEPROM1Click)
  std::function<void()> reporting;                      // Sensor > Reporting (Graphic1Click)
  std::function<void()> about;                          // Help > About (no exchange)
  // At start-up, before the search: the language choice (no exchange).
  std::function<void()> chooseLanguage;
  // During the search, when several ports opened and none answered: the
  // port the user picks among `openPorts`, or none when the choice is closed.
  std::function<std::optional<int>(const std::vector<int>& openPorts, const PortMap& ports)> choosePort;
  // Whether another window that talks to the sensor (the configure window)
  // is open: no reconnection meanwhile.
  std::function<bool()> sensorWindowOpen;
};

// The main window follows the features word like the configure window: the
// visibility rules show or hide its Reporting and Brightness entries, and
// the status display reads the word from the session.
class TForm1 : public QMainWindow, public FeatureView {
  Q_OBJECT

 public:
  explicit TForm1(Session& session, QWidget* parent = nullptr);
  ~TForm1() override;

  // Collaborators, set before the window is first shown.
  // Opens a channel for a COM port of the port table (reader not running).
  void SetChannelFactory(std::function<std::unique_ptr<Channel>(const PortMap&)> factory);
  // The data folder whose ports/ table names the COM ports, and the debug log.
  void SetDataFolder(std::string folder) { dataFolder_ = std::move(folder); }
  void SetDebugLogPath(std::string path) { debugLogPath_ = std::move(path); }

  MainWindowHooks hooks;

  Session& SensorSession() { return session_; }
  LinkState& Link() { return session_.Link(); }
  // The firmware file of an upgrade; open only while one runs.
  HexImageFile& FirmwareFile() { return m_hexfile; }
  CommandExchange& Exchange() { return session_.Exchange(); }
  QTimer* Timer1() const { return timer1_; }
  const PortMap& Ports() const { return session_.Ports(); }

  // Runs `work` as the one exchange with the sensor; false (and nothing
  // run) while another exchange is in progress. An exchange the user
  // started shows the busy cursor while it runs; a poll tick does not.
  enum class Cursor { Busy, Unchanged };
  bool RunExchange(const std::function<void()>& work, Cursor cursor = Cursor::Busy);
  bool ExchangeInProgress() const { return session_.Link().m_exchangeActive; }

  // Each window that carries language rows registers how to apply them;
  // ApplyLanguage writes the main window's rows, then every registered one.
  void AddLanguageApplier(std::function<void()> applier);
  void ApplyLanguage();

  // The menu entries the features refresh shows or hides.
  void SetReportingMenuVisible(bool visible);
  void SetBrightnessMenuVisible(bool visible);
  void ApplyVisibility(const FeatureVisibility& visibility) override;

  // Shows a poll's result: gauges, boxes, labels, the timer and the message.
  // After the poll's last failure, the window watches for the sensor's
  // device to come back (an adapter unplugged and plugged in again).
  void ApplyStatus(const StatusPollResult& result);
  QTimer* ReconnectTimer() const { return reconnectTimer_; }

 signals:
  // The window has closed for good: the program ends.
  void Closed();

 public slots:
  void FormShow();
  void Timer1Timer();
  // Once a second while the status poll has given up: reconnects when the
  // sensor's device is back, unless a message, an exchange, the configure
  // or reporting window or an upgrade is in the way.
  void ReconnectTimerTimer();
  void Button1Click();
  void EEPROM1Click();
  void Graphic1Click();
  void Max1Click();
  void N751Click();
  void N501Click();
  void N251Click();
  void Min1Click();
  void Off1Click();
  void Load1Click();
  void Save1Click();
  void Small1Click();
  void Medium1Click();
  void Large1Click();
  void Exit1Click();
  void SensorUpgrade1Click();
  void About1Click();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void FormClose();
  void ConnectMenu();
  void SendBrightness(const char* command, QAction* item);
  void ShowBrightnessMark();
  void RunMenuHook(const std::function<void()>& hook);
  void SetSensorActionsEnabled(bool enabled);
  // Closes the window if a close was held back during an exchange.
  void FinishPendingClose();
  void SetLabelText(QLabel* label, const std::string& text);
  void SearchSensorPort();

  Ui::TForm1* ui_;
  Session& session_;
  HexImageFile m_hexfile;
  QTimer* timer1_;
  QTimer* reconnectTimer_;
  std::optional<SensorWatch> sensorWatch_;
  std::function<std::unique_ptr<Channel>(const PortMap&)> channelFactory_;
  std::string dataFolder_;
  std::string debugLogPath_;
  std::vector<std::function<void()>> languageAppliers_;
  QAction* brightnessMark_ = nullptr;
  bool formShown_ = false;
  bool closePending_ = false;
  bool formClosed_ = false;
};
