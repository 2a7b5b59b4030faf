// TForm1's start-up and live status display.

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include "app/QtGauge.h"
#include "app/QtLook.h"
#include "app/Unit1.h"
#include "app/Unit9.h"
#include "app/OwnTexts.h"
#include "app/Startup.h"
#include "link/PortSearch.h"
#include "ui_Unit1.h"

namespace {
QString Q(const std::string& text) { return QString::fromStdString(text); }

void ApplyGauge(QtGauge* gauge, QLineEdit* disabledBox, const GaugeDisplay& display) {
  if (display.disabled) {
    disabledBox->setText(Q(display.disabledText));
    gauge->hide();
    disabledBox->show();
    disabledBox->setEnabled(false);
  } else {
    gauge->SetProgress(display.value);
    gauge->SetForeColor(StateQColor(display.colour));
    gauge->show();
    disabledBox->hide();
  }
}

void ApplyBox(QLineEdit* box, const ValueBoxDisplay& display) {
  QFont font = box->font();
  font.setPointSize(display.fontPoints);
  box->setFont(font);
  box->setText(Q(display.text));
  box->setAlignment(display.alignment == BoxAlignment::Left ? (Qt::AlignLeft | Qt::AlignVCenter) : Qt::AlignCenter);
  QPalette palette = box->palette();
  const QColor background = display.background == StateColour::Window
                                ? QApplication::palette(box).color(QPalette::Base)
                                : StateQColor(display.background);
  palette.setColor(QPalette::Base, background);
  box->setPalette(palette);
  box->setEnabled(display.enabled);
  box->setCursorPosition(0);
}
}  // namespace

void TForm1::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (formShown_) return;
  formShown_ = true;
  CentreOnScreen(this);
  // The start-up work runs once the window is on the screen.
  QTimer::singleShot(0, this, &TForm1::FormShow);
}

void TForm1::FormShow() {
  session_.Link().m_comnum = kNoPort;
  if (hooks.chooseLanguage) hooks.chooseLanguage();
  ApplyLanguage();
  // Never creates the folder: without it nothing is logged.
  session_.Link().m_debuglog.Open(debugLogPath_);
  SearchSensorPort();
}

void TForm1::SearchSensorPort() {
  session_.SetPorts(PortMap::Build(dataFolder_));
  PortSearchHooks search;
  search.makeChannel = [this]() -> std::unique_ptr<Channel> {
    return channelFactory_ ? channelFactory_(session_.Ports()) : nullptr;
  };
  search.choosePort = [this](const std::vector<int>& openPorts) -> std::optional<int> {
    if (!hooks.choosePort) return std::nullopt;
    return hooks.choosePort(openPorts, session_.Ports());
  };
  std::vector<PortRefusal> refusals;
  search.openFailed = [this, &refusals](int port, const Channel& channel) {
    if (auto refusal = RefusalOf(port, channel, session_.Ports())) refusals.push_back(*refusal);
  };

  StartupOutcome outcome = StartupOutcome::NoPort;
  RunExchange([&] { outcome = StartSensor(session_, search); });
  switch (outcome) {
    case StartupOutcome::SensorFound:
      SetLabelText(ui_->lbComms, TextOf(45));
      break;
    case StartupOutcome::SensorSilent:
      SetLabelText(ui_->lbComms, TextOf(46));
      session_.User().ShowMessage(NoSensorMessage());
      break;
    case StartupOutcome::NoPort: {
      // After the search's own lines: each device that exists and why it
      // did not open; the message adds what the user can do about it.
      for (const PortRefusal& refusal : refusals) {
        session_.Link().m_debuglog.Write("\n%s", DescribeRefusal(refusal).c_str());
      }
      Message message = NoSensorMessage();
      message.text += RefusalAdvice(refusals);
      session_.User().ShowMessage(message);
      close();
      break;
    }
    case StartupOutcome::SelectionClosed:
      close();
      break;
  }
}

void TForm1::Timer1Timer() {
  // A tick during another exchange is skipped.
  RunExchange([this] { Button1Click(); }, Cursor::Unchanged);
}

void TForm1::Button1Click() { ApplyStatus(PollStatus(session_.Exchange(), session_.Config().FeaturesWord)); }

void TForm1::ApplyStatus(const StatusPollResult& result) {
  if (result.display) {
    const StatusDisplay& display = *result.display;
    ApplyGauge(ui_->GaugeFine, ui_->Edit4, display.fine);
    ApplyGauge(ui_->GaugeCoarse, ui_->Edit2, display.coarse);
    ApplyBox(ui_->Edit3, display.oil);
    ApplyBox(ui_->Edit1, display.temperature);
  }
  if (result.errorsLabel) SetLabelText(ui_->lbErrors, *result.errorsLabel);
  if (result.timerInterval) timer1_->setInterval(*result.timerInterval);
  if (result.stopTimer) timer1_->stop();
  if (result.commsLabel) SetLabelText(ui_->lbComms, *result.commsLabel);
  if (result.failureMessage) {
    session_.User().ShowMessage(*result.failureMessage);
    const int port = session_.Link().m_comnum;
    if (session_.Sensor() != nullptr) {
      sensorWatch_.emplace(session_.Ports(), port);
      reconnectTimer_->start();
    }
  }
}

void TForm1::ReconnectTimerTimer() {
  if (!sensorWatch_) {
    reconnectTimer_->stop();
    return;
  }
  if (session_.Link().m_exchangeActive || QApplication::activeModalWidget() != nullptr) return;
  if ((hooks.sensorWindowOpen && hooks.sensorWindowOpen()) || session_.User().ReportingVisible()) return;
  const Channel* channel = session_.Sensor();
  const std::optional<std::string> device = sensorWatch_->Look(channel != nullptr && channel->Gone());
  if (!device) return;
  reconnectTimer_->stop();
  ReconnectOutcome outcome = ReconnectOutcome::PortNotOpened;
  RunExchange([&] { outcome = ReconnectSensor(session_, *device, channelFactory_); });
  if (outcome == ReconnectOutcome::Reconnected) {
    sensorWatch_.reset();
    SetLabelText(ui_->lbComms, TextOf(45));
    return;
  }
  SetLabelText(ui_->lbComms, TextOf(46));
  if (outcome == ReconnectOutcome::SensorSilent) sensorWatch_->StartAgain();
  reconnectTimer_->start();
}
