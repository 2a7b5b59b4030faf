#include "app/Unit1.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QTimer>

#include "app/QtGauge.h"
#include "app/QtLook.h"
#include "app/Unit9.h"
#include "files/ConfigurationTransfer.h"
#include "firmware/SensorUpgrade.h"
#include "link/DebugLog.h"
#include "ui_Unit1.h"

namespace {
QString Q(const std::string& text) { return QString::fromStdString(text); }

// The labels without a laid-out width grow and shrink with their text, but
// keep their laid-out height, so that their text stays on the baseline of
// the labels beside them.
void FitWidth(QLabel* label) { label->resize(label->sizeHint().width(), label->height()); }

// The window's caption once the language is applied: entry 2 and the model.
constexpr const char* kModelSuffix = " 5819-100";
}  // namespace

TForm1::TForm1(Session& session, QWidget* parent)
    : QMainWindow(parent),
      ui_(new Ui::TForm1),
      session_(session),
      timer1_(new QTimer(this)),
      reconnectTimer_(new QTimer(this)),
      dataFolder_(DebugLog::DataFolder()),
      debugLogPath_(DebugLog::DefaultPath()) {
  ui_->setupUi(this);
  // The client area below the menu bar is fixed; the window follows it.
  ui_->ClientArea->setFixedSize(449, 369);
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  setWindowFlag(Qt::WindowMaximizeButtonHint, false);
  PaintWindowBackground(ui_->ClientArea);

  ShowArtwork(ui_->Image2, QStringLiteral(":/wordmark.svg"));
  ShowArtwork(ui_->Image3, QStringLiteral(":/sensor.svg"));
  for (QLabel* label : {ui_->Label3, ui_->lbErrors, ui_->lbComms}) FitWidth(label);
  // Until the first status reply the "DISABLED" boxes lie over the gauges;
  // the gauges stay hidden meanwhile so that no corner of theirs shows.
  ui_->GaugeCoarse->hide();
  ui_->GaugeFine->hide();
  ui_->GaugeCoarse->SetForeColor(StateQColor(StateColour::Yellow));
  ui_->GaugeFine->SetForeColor(StateQColor(StateColour::Yellow));

  // Whoever holds the exchange guard, the sensor actions are barred meanwhile.
  session_.Link().onExchangeChange = [this](bool active) { SetSensorActionsEnabled(!active); };
  session_.AddFeatureView(this);

  timer1_->setObjectName(QStringLiteral("Timer1"));
  timer1_->setTimerType(Qt::PreciseTimer);  // the poll keeps its 200 and 500 ms
  timer1_->setInterval(kStatusIntervalFirst);
  connect(timer1_, &QTimer::timeout, this, &TForm1::Timer1Timer);
  reconnectTimer_->setObjectName(QStringLiteral("ReconnectTimer"));
  reconnectTimer_->setInterval(1000);
  connect(reconnectTimer_, &QTimer::timeout, this, &TForm1::ReconnectTimerTimer);
  ConnectMenu();
}

TForm1::~TForm1() {
  session_.Link().onExchangeChange = nullptr;
  session_.RemoveFeatureView(this);
  m_hexfile.Close();
  delete ui_;
}

void TForm1::SetChannelFactory(std::function<std::unique_ptr<Channel>(const PortMap&)> factory) {
  channelFactory_ = std::move(factory);
}

void TForm1::ConnectMenu() {
  const std::pair<QAction*, void (TForm1::*)()> handlers[] = {
      {ui_->EEPROM1, &TForm1::EEPROM1Click},   {ui_->Graphic1, &TForm1::Graphic1Click},
      {ui_->Max1, &TForm1::Max1Click},         {ui_->N751, &TForm1::N751Click},
      {ui_->N501, &TForm1::N501Click},         {ui_->N251, &TForm1::N251Click},
      {ui_->Min1, &TForm1::Min1Click},         {ui_->Off1, &TForm1::Off1Click},
      {ui_->Load1, &TForm1::Load1Click},       {ui_->Save1, &TForm1::Save1Click},
      {ui_->Small1, &TForm1::Small1Click},     {ui_->Medium1, &TForm1::Medium1Click},
      {ui_->Large1, &TForm1::Large1Click},     {ui_->Exit1, &TForm1::Exit1Click},
      {ui_->SensorUpgrade1, &TForm1::SensorUpgrade1Click}, {ui_->About1, &TForm1::About1Click},
  };
  for (const auto& [action, handler] : handlers) connect(action, &QAction::triggered, this, handler);
}

bool TForm1::RunExchange(const std::function<void()>& work, Cursor cursor) {
  {
    ExchangeGuard guard(session_.Link());  // bars the sensor actions while it is held
    if (!guard.Acquired()) return false;
    std::optional<BusyCursor> busy;
    if (cursor == Cursor::Busy) busy.emplace();
    work();
  }
  FinishPendingClose();
  return true;
}

void TForm1::FinishPendingClose() {
  if (!closePending_ || session_.Link().m_exchangeActive) return;
  closePending_ = false;
  close();
}

void TForm1::SetSensorActionsEnabled(bool enabled) {
  for (QAction* action : {ui_->EEPROM1, ui_->Graphic1, ui_->Brightness1->menuAction(), ui_->Max1, ui_->N751,
                          ui_->N501, ui_->N251, ui_->Min1, ui_->Off1, ui_->Load1, ui_->Save1,
                          ui_->RestoreFactoryDefaults1->menuAction(), ui_->Small1, ui_->Medium1, ui_->Large1,
                          ui_->SensorUpgrade1}) {
    action->setEnabled(enabled);
  }
}

void TForm1::AddLanguageApplier(std::function<void()> applier) { languageAppliers_.push_back(std::move(applier)); }

void TForm1::ApplyLanguage() {
  setWindowTitle(Q(TextOf(2) + kModelSuffix));
  SetLabelText(ui_->Label2, TextOf(37));
  SetLabelText(ui_->Label1, TextOf(38));
  SetLabelText(ui_->Label3, TextOf(39));
  SetLabelText(ui_->Label4, TextOf(40));
  SetLabelText(ui_->lbErrors, TextOf(41));
  ui_->Configure1->setTitle(Q(TextOf(3)));
  ui_->Brightness1->setTitle(Q(TextOf(10)));
  ui_->RestoreFactoryDefaults1->setTitle(Q(TextOf(22)));
  ui_->Help1->setTitle(Q(TextOf(34)));
  const std::pair<QAction*, int> items[] = {
      {ui_->EEPROM1, 4}, {ui_->Max1, 11},   {ui_->Min1, 15},   {ui_->Off1, 16},
      {ui_->Load1, 20},  {ui_->Save1, 21},  {ui_->Small1, 23}, {ui_->Medium1, 24},
      {ui_->Large1, 25}, {ui_->Exit1, 26},  {ui_->SensorUpgrade1, 35}, {ui_->About1, 36},
  };
  for (const auto& [action, entry] : items) action->setText(Q(TextOf(entry)));
  for (const auto& applier : languageAppliers_) applier();
}

void TForm1::SetLabelText(QLabel* label, const std::string& text) {
  label->setText(Q(text));
  // The labels without a laid-out width grow and shrink with their text.
  if (label == ui_->Label3 || label == ui_->lbErrors || label == ui_->lbComms) FitWidth(label);
}

void TForm1::SetReportingMenuVisible(bool visible) { ui_->Graphic1->setVisible(visible); }

void TForm1::SetBrightnessMenuVisible(bool visible) { ui_->Brightness1->menuAction()->setVisible(visible); }

void TForm1::ApplyVisibility(const FeatureVisibility& visibility) {
  SetReportingMenuVisible(visibility.reportingMenuShown);
  SetBrightnessMenuVisible(visibility.brightnessMenuShown);
}

void TForm1::RunMenuHook(const std::function<void()>& hook) {
  if (hook) RunExchange(hook);
}

void TForm1::EEPROM1Click() { RunMenuHook(hooks.configure); }
void TForm1::Graphic1Click() { RunMenuHook(hooks.reporting); }
void TForm1::Load1Click() {
  RunExchange([this] { ImportConfiguration(session_); });
}
void TForm1::Save1Click() {
  RunExchange([this] { ExportConfiguration(session_); });
}
void TForm1::SensorUpgrade1Click() {
  if (session_.Link().m_exchangeActive) return;
  // The upgrade takes the exchange guard itself once the firmware file is
  // accepted, so the status poll goes on while the file is being chosen
  // (its dialog and the messages show the normal cursor).
  const BusyCursor busy;
  UpgradeHooks hooks;
  hooks.clearStatusDisplay = [this] {
    ui_->GaugeFine->SetProgress(0);
    ui_->GaugeCoarse->SetProgress(0);
    ui_->Edit3->setText(QStringLiteral("---"));
  };
  SensorUpgrade(session_.Exchange(), m_hexfile, hooks).Run();
  FinishPendingClose();
}

// The three factory default sets, "D 1" to "D 3".
void TForm1::Small1Click() {
  RunExchange([this] { RestoreFactoryDefaults(session_, 1); });
}
void TForm1::Medium1Click() {
  RunExchange([this] { RestoreFactoryDefaults(session_, 2); });
}
void TForm1::Large1Click() {
  RunExchange([this] { RestoreFactoryDefaults(session_, 3); });
}

void TForm1::About1Click() {
  if (hooks.about) hooks.about();
}

// The LED brightness in per cent, in hexadecimal; no reply is awaited.
void TForm1::Max1Click() { SendBrightness("h 64", ui_->Max1); }
void TForm1::N751Click() { SendBrightness("h 4B", ui_->N751); }
void TForm1::N501Click() { SendBrightness("h 32", ui_->N501); }
void TForm1::N251Click() { SendBrightness("h 19", ui_->N251); }
void TForm1::Min1Click() { SendBrightness("h 5", ui_->Min1); }
void TForm1::Off1Click() { SendBrightness("h 0", ui_->Off1); }

void TForm1::SendBrightness(const char* command, QAction* item) {
  RunExchange([&] {
    session_.Exchange().SendCommand(command);
    brightnessMark_ = item;
  });
  // The menu toggles a checkable item by itself; only the item sent is marked.
  ShowBrightnessMark();
}

void TForm1::ShowBrightnessMark() {
  for (QAction* item : {ui_->Max1, ui_->N751, ui_->N501, ui_->N251, ui_->Min1, ui_->Off1}) {
    item->setChecked(item == brightnessMark_);
  }
}

void TForm1::Exit1Click() {
  m_hexfile.Close();
  close();
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (session_.Link().m_exchangeActive) {
    // Closing now would cut into the exchange: close when it ends.
    closePending_ = true;
    event->ignore();
    return;
  }
  event->accept();
  if (formClosed_) return;
  formClosed_ = true;
  FormClose();
  emit Closed();
}

void TForm1::FormClose() {
  LinkState& link = session_.Link();
  if (link.m_comnum != kNoPort) {
    timer1_->stop();
    session_.Time().Sleep(20);
    session_.Exchange().SendCommand("");
  }
  link.m_debuglog.Close();
}
