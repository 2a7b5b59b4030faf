#include "config/Unit2.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QShowEvent>
#include <array>
#include <stdexcept>

#include "app/QtLook.h"
#include "app/Unit9.h"
#include "config/Features.h"
#include "config/LiveUpdate.h"
#include "config/QtValueBox.h"
#include "ui_Unit2.h"

namespace {

QString Text(int entry) { return QString::fromStdString(TextOf(entry)); }

// The hidden read buttons and the register each one shows.
struct ReadButton {
  const char* name;
  std::uint16_t address;
};
constexpr std::array<ReadButton, 16> kReadButtons = {{
    {"Button3", 0x0004},  {"Button7", 0x0006},  {"Button96", 0x003A}, {"Button100", 0x003C},
    {"Button9", 0x0022},  {"Button11", 0x0026}, {"Button13", 0x0028}, {"Button15", 0x0024},
    {"Button75", 0x000E}, {"Button76", 0x000C}, {"Button39", 0x0010}, {"Button77", 0x002A},
    {"Button17", 0x002C}, {"Button19", 0x002E}, {"Button42", 0x0030}, {"Button41", 0x0032},
}};

constexpr int kLiveUpdateMs = 500;

void SetShown(std::initializer_list<QWidget*> widgets, bool shown) {
  for (QWidget* w : widgets) w->setVisible(shown);
}

}  // namespace

TForm2::TForm2(Session& session, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TForm2>()), session_(session) {
  ui->setupUi(this);
  setFixedSize(size());
  // The drop-down boxes show their layout texts with no entry chosen: a text
  // in the box is not a choice.
  ui->ComboBoxBaudRate->setEditText(QStringLiteral("Baud Rate"));
  ui->ComboBoxParity->setEditText(QStringLiteral("Parity"));

  for (QLineEdit* edit : findChildren<QLineEdit*>()) {
    if (edit->objectName().startsWith("Edit")) {
      boxes_.emplace(edit->objectName().toStdString(), std::make_unique<QtValueBox>(edit));
    }
  }
  for (QComboBox* combo : {ui->ComboBoxBaudRate, ui->ComboBoxParity}) {
    boxes_.emplace(combo->objectName().toStdString(), std::make_unique<QtValueBox>(combo));
  }
  session_.SetBoxes(this);
  session_.AddFeatureView(this);
  session_.stopLiveUpdate = [this] { Timer1->stop(); };
  session_.resumeLiveUpdate = [this] {
    if (isVisible() && PageHasLiveUpdate(PageOf(ui->PageControl1->currentIndex()))) Timer1->start();
  };

  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setTimerType(Qt::PreciseTimer);
  Timer1->setInterval(kLiveUpdateMs);
  connect(Timer1, &QTimer::timeout, this, &TForm2::Timer1Timer);
  connect(ui->PageControl1, &QTabWidget::currentChanged, this, &TForm2::PageControl1Change);

  for (const ReadButton& r : kReadButtons) {
    auto* button = findChild<QPushButton*>(r.name);
    const std::uint16_t address = r.address;
    connect(button, &QPushButton::clicked, this, [this, address] { ReadButtonClick(address); });
  }

  // Only the user's own changes of the Sensor Type page start the features
  // write: the radio groups announce only the user's selections, and a check
  // box's "clicked" is never emitted for a value put into it.
  for (QtRadioGroup* group : {ui->rgApplication, ui->rgAnalogType, ui->rgDiTempChannel}) {
    connect(group, &QtRadioGroup::itemChanged, this, &TForm2::FeatureControlChanged);
  }
  for (QCheckBox* box : {ui->cbInhibit, ui->cbCoarseChannel, ui->cbFineChannel, ui->cbThirdChannel}) {
    connect(box, &QCheckBox::clicked, this, &TForm2::FeatureControlChanged);
  }
  connect(ui->Button37, &QPushButton::clicked, this, [this] {
    RunExchange([this] { Button37Click(); });
  });
  connect(ui->Button38, &QPushButton::clicked, this, &TForm2::FeatureControlChanged);
  ConnectPageActions();

  Scaling1 = new QMenu(QStringLiteral("Scaling"), this);
  Scaling1->setObjectName("Scaling1");
  Scaling1->addAction(ui->Coarse1);
  Scaling1->addAction(ui->Fine1);
  // The menu is never shown: the window carries the entries so that their
  // shortcuts work anywhere in it.
  addAction(ui->Coarse1);
  addAction(ui->Fine1);
  // A text box takes Ctrl+C for copying before any shortcut sees it; the
  // window's filter hands these two keys to the Scaling entries instead.
  for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
}

TForm2::~TForm2() {
  session_.stopLiveUpdate = nullptr;
  session_.resumeLiveUpdate = nullptr;
  session_.RemoveFeatureView(this);
  session_.SetBoxes(nullptr);
}

QtValueBox& TForm2::NamedBox(const std::string& name) { return *boxes_.at(name); }

ValueBox& TForm2::Box(std::uint16_t address) {
  const RegisterInfo* info = RegisterAt(address);
  // Every control the register map names is a box of this window (a test
  // holds the map to it); a register without one cannot be shown here.
  if (info == nullptr || *info->control == '\0') throw std::out_of_range("no box for this register");
  return NamedBox(info->control);
}

bool TForm2::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride) {
    const auto* key = static_cast<QKeyEvent*>(event);
    const QKeySequence pressed(key->keyCombination());
    if (pressed == ui->Coarse1->shortcut() || pressed == ui->Fine1->shortcut()) {
      // Left unaccepted, the key goes on to the window's shortcuts.
      event->ignore();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TForm2::keyPressEvent(QKeyEvent* event) {
  // Escape would reject the dialog, ending configuring; the window is
  // closed with its close box only.
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void TForm2::ApplyLanguage() {
  setWindowTitle(Text(2));

  QTabWidget* pages = ui->PageControl1;
  const std::array<std::pair<QWidget*, int>, 7> titles = {{{ui->TabType, 48},
                                                           {ui->TabDebris, 64},
                                                           {ui->TabOil, 79},
                                                           {ui->TabTemperature, 40},
                                                           {ui->TabAnalog, 85},
                                                           {ui->TabCAN, 54},
                                                           {ui->TabPGNID, 116}}};
  for (const auto& [page, entry] : titles) pages->setTabText(pages->indexOf(page), Text(entry));

  ui->rgApplication->setTitle(Text(48));
  ui->rgApplication->setItems({Text(49), Text(50)});
  ui->rgAnalogType->setTitle(Text(51));
  ui->rgDiTempChannel->setTitle(Text(55));
  ui->rgDiTempChannel->setItems({Text(224), Text(225), Text(222), Text(223)});

  const std::array<std::pair<QWidget*, int>, 4> boxTips = {
      {{ui->cbInhibit, 202}, {ui->cbFineChannel, 203}, {ui->cbCoarseChannel, 204}, {ui->cbThirdChannel, 205}}};
  for (const auto& [box, entry] : boxTips) box->setToolTip(Text(entry));

  const std::array<std::pair<QAbstractButton*, int>, 8> buttons = {{{ui->cbInhibit, 56},
                                                                    {ui->cbFineChannel, 57},
                                                                    {ui->cbCoarseChannel, 58},
                                                                    {ui->cbThirdChannel, 59},
                                                                    {ui->Button89, 68},
                                                                    {ui->Button87, 69},
                                                                    {ui->Button88, 70},
                                                                    {ui->Button90, 83}}};
  for (const auto& [button, entry] : buttons) button->setText(Text(entry));
  ui->Button89->setToolTip(Text(71));
  ui->Button87->setToolTip(Text(72));
  ui->Button88->setToolTip(Text(73));

  const std::array<std::pair<QLabel*, int>, 48> labels = {{
      {ui->Label31, 63},  {ui->Label6, 37},   {ui->Label7, 38},   {ui->Label8, 65},   {ui->Label9, 66},
      {ui->Label10, 67},  {ui->Label18, 74},  {ui->Label19, 71},  {ui->Label20, 72},  {ui->Label22, 73},
      {ui->Label32, 75},  {ui->Label33, 76},  {ui->Label34, 77},  {ui->Label35, 78},  {ui->Label37, 80},
      {ui->Label38, 81},  {ui->Label39, 82},  {ui->Label40, 83},  {ui->Label41, 84},  {ui->Label11, 39},
      {ui->Label46, 90},  {ui->Label47, 91},  {ui->Label50, 101}, {ui->Label51, 102}, {ui->Label52, 103},
      {ui->Label53, 104}, {ui->Label54, 105}, {ui->Label55, 106}, {ui->Label56, 107}, {ui->Label57, 108},
      {ui->Label58, 109}, {ui->Label59, 110}, {ui->Label60, 111}, {ui->Label61, 112}, {ui->Label62, 113},
      {ui->Label63, 114}, {ui->Label64, 115}, {ui->Label65, 116}, {ui->Label66, 117}, {ui->Label42, 86},
      {ui->Label43, 87},  {ui->Label44, 88},  {ui->Label45, 89},  {ui->LabelSlaveAddress, 229},
      {ui->LabelBaudRate, 230}, {ui->LabelSensorName, 231}, {ui->LabelSensorLocation, 232},
      {ui->LabelParity, 233},
  }};
  for (const auto& [label, entry] : labels) label->setText(Text(entry));
  ui->Label36->setText(QString::fromStdString(JoinTexts3(226, "\n", 227, "\n", 228)));

  for (QPushButton* set : {ui->Button4, ui->Button8, ui->Button98, ui->Button102, ui->Button12, ui->Button14,
                           ui->Button16, ui->Button10, ui->Button44, ui->Button43, ui->Button68, ui->Button67,
                           ui->Button28, ui->Button78, ui->Button80, ui->Button40, ui->Button79}) {
    set->setText(Text(62));
  }

  const std::array<std::pair<QWidget*, int>, 10> hints = {{{ui->Edit2, 206},
                                                           {ui->Edit4, 206},
                                                           {ui->Edit41, 207},
                                                           {ui->Edit43, 207},
                                                           {ui->Edit6, 208},
                                                           {ui->Edit7, 209},
                                                           {ui->Edit8, 210},
                                                           {ui->Edit5, 211},
                                                           {ui->Edit22, 212},
                                                           {ui->Edit21, 213}}};
  for (const auto& [box, entry] : hints) box->setToolTip(Text(entry));
  for (int n = 11; n <= 36; ++n) {
    if (n > 18 && n < 28) continue;
    findChild<QLineEdit*>(QStringLiteral("Edit%1").arg(n))->setToolTip(Text(219));
  }
}

void TForm2::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // A window restored by the system is not opened anew.
  if (event->spontaneous()) return;
  CentreOnScreen(this);
  FormShow();
}

void TForm2::FormShow() {
  Timer1->stop();
  OpenConfiguring(session_);
  ui->rgApplication->setEnabled(false);
  ui->rgAnalogType->setEnabled(false);
  ::ApplyFeatureVisibility(session_);
  SelectPage(ui->TabType);
  configuring_ = true;
}

void TForm2::done(int result) {
  if (isVisible() && !FormClose()) return;
  QDialog::done(result);
}

bool TForm2::FormClose() {
  if (!configuring_) {
    Timer1->stop();
    return true;
  }
  // A close refused while another exchange runs leaves the window as it
  // was, its live update included.
  ExchangeGuard guard(session_.Link());
  if (!guard.Acquired()) return false;
  const BusyCursor busy;
  Timer1->stop();
  CloseConfiguring(session_);
  configuring_ = false;
  return true;
}

ConfigPage TForm2::PageOf(int index) const {
  const QWidget* page = ui->PageControl1->widget(index);
  if (page == ui->TabDebris) return ConfigPage::Debris;
  if (page == ui->TabOil) return ConfigPage::Oil;
  if (page == ui->TabAnalog) return ConfigPage::Analog;
  if (page == ui->TabTemperature) return ConfigPage::Temperature;
  if (page == ui->TabCAN) return ConfigPage::CAN;
  if (page == ui->TabPGNID) return ConfigPage::PGNID;
  if (page == ui->TabMODBUS) return ConfigPage::MODBUS;
  return ConfigPage::SensorType;
}

void TForm2::SelectPage(QWidget* page) {
  changingPages_ = true;
  ui->PageControl1->setCurrentWidget(page);
  changingPages_ = false;
}

void TForm2::SetPageShown(QWidget* page, bool shown) {
  changingPages_ = true;
  const int index = ui->PageControl1->indexOf(page);
  // The page control's Ctrl+Tab skips only disabled pages: a hidden page
  // must be disabled too, so that no key reaches it.
  ui->PageControl1->setTabEnabled(index, shown);
  ui->PageControl1->setTabVisible(index, shown);
  changingPages_ = false;
  // Hiding the selected page moves the selection without any reads; the
  // live update belongs only to the Debris and Water Contamination pages.
  const ConfigPage current = PageOf(ui->PageControl1->currentIndex());
  if (current != ConfigPage::Debris && current != ConfigPage::Oil) Timer1->stop();
}

void TForm2::PageControl1Change(int index) {
  if (changingPages_) return;
  Timer1->stop();
  // A hidden page is never the user's choice and reads nothing.
  if (!ui->PageControl1->isTabVisible(index)) return;
  ExchangeGuard guard(session_.Link());
  if (!guard.Acquired()) return;
  const BusyCursor busy;
  const ConfigPage page = PageOf(index);
  if (page == ConfigPage::Temperature) SetTemperatureAlarmLabels();
  ShowPageReading(ReadConfigPage(session_, page));
  if (PageHasLiveUpdate(page)) Timer1->start();
}

void TForm2::ReadButtonClick(std::uint16_t address) {
  RunExchange([this, address] { ShowRegister(session_.Convert(), Box(address), address); });
}

void TForm2::SetTemperatureAlarmLabels() {
  const AlarmLabelEntries entries = TemperatureAlarmLabels(ui->rgDiTempChannel->itemIndex());
  ui->Label46->setText(Text(entries.high));
  ui->Label47->setText(Text(entries.low));
}

void TForm2::Timer1Timer() {
  const std::optional<ReportRecord> record = RunLiveUpdate(session_.Exchange());
  if (!record) return;
  const LiveDisplay live = LiveDisplayOf(*record);
  const auto bar = [](bool red) { return StateQColor(red ? StateColour::Red : StateColour::Yellow); };
  ui->GaugeCoarse->SetProgress(live.coarse);
  ui->GaugeCoarse->SetForeColor(bar(live.coarseRed));
  ui->GaugeFine->SetProgress(live.fine);
  ui->GaugeFine->SetForeColor(bar(live.fineRed));
  ui->Edit40->setText(QString::number(live.oilValue));
  QPalette p = ui->Edit40->palette();
  p.setColor(QPalette::Base, StateQColor(live.oilAlarm ? StateColour::Red : StateColour::Green));
  ui->Edit40->setPalette(p);
}

void TForm2::Button37Click() { ReadFeatures(session_); }

void TForm2::Button38Click() { WriteFeatures(session_, CurrentFeatureControls()); }

void TForm2::FeatureControlChanged() {
  ConfigState& state = session_.Config();
  if (!FeaturesWriteAllowed(state, isActiveWindow())) return;
  ExchangeGuard guard(session_.Link());
  if (guard.Acquired()) {
    const BusyCursor busy;
    Button38Click();
    return;
  }
  // The change cannot reach the sensor now: show what it still holds.
  state.ShowingFeatures = true;
  ShowFeatureControls(DecodeFeatures(state.FeaturesWord));
  state.ShowingFeatures = false;
}

FeatureControls TForm2::CurrentFeatureControls() const {
  FeatureControls c;
  c.application = ui->rgApplication->itemIndex();
  c.analogType = ui->rgAnalogType->itemIndex();
  c.channel = ui->rgDiTempChannel->itemIndex();
  c.inhibit = ui->cbInhibit->isChecked();
  c.coarseDisabled = ui->cbCoarseChannel->isChecked();
  c.fineDisabled = ui->cbFineChannel->isChecked();
  c.thirdDisabled = ui->cbThirdChannel->isChecked();
  c.noTemperatureCorrection = ui->cbTempCorrection->isChecked();
  c.noVolumeCorrection = ui->cbVolCorrection->isChecked();
  return c;
}

void TForm2::HideAnalogueLevelBoxes() {
  for (QWidget* box : {ui->Edit20, ui->Edit37, ui->Edit38, ui->Edit39}) box->hide();
}

void TForm2::ShowFeatureControls(const FeatureControls& controls) {
  ui->rgApplication->setItemIndex(controls.application);
  ui->rgAnalogType->setItemIndex(controls.analogType);
  ui->rgDiTempChannel->setItemIndex(controls.channel);
  ui->cbInhibit->setChecked(controls.inhibit);
  ui->cbCoarseChannel->setChecked(controls.coarseDisabled);
  ui->cbFineChannel->setChecked(controls.fineDisabled);
  ui->cbThirdChannel->setChecked(controls.thirdDisabled);
  ui->cbTempCorrection->setChecked(controls.noTemperatureCorrection);
  ui->cbVolCorrection->setChecked(controls.noVolumeCorrection);
}

void TForm2::ApplyVisibility(const FeatureVisibility& v) {
  SetShown({ui->Label42, ui->Label43, ui->Label44, ui->Label45}, v.analogueLabelsShown);
  SetShown({ui->Edit37, ui->Edit39, ui->Edit20, ui->Edit38}, v.analogueBoxesShown);
  SetShown({ui->Button78, ui->Button80, ui->Button40}, v.analogueSetButtonsShown);
  if (v.analogueBoxesShown) {
    ui->Edit37->setToolTip(QString::fromStdString(v.errorLevelHint));
    ui->Edit39->setToolTip(QString::fromStdString(v.zeroLevelHint));
    ui->Edit20->setToolTip(QString::fromStdString(v.fullScaleLevelHint));
    ui->Edit38->setToolTip(QString::fromStdString(v.inhibitLevelHint));
  }
  SetShown({ui->cbInhibit, ui->cbCoarseChannel, ui->cbFineChannel, ui->cbThirdChannel}, v.channelCheckBoxesShown);
  ui->rgDiTempChannel->setVisible(v.channelGroupShown);
  SetShown({ui->Label40, ui->Edit5, ui->Button10, ui->Label37, ui->Edit6, ui->Button12, ui->Label38, ui->Edit7,
            ui->Button14, ui->Label39, ui->Edit8, ui->Button16},
           v.waterControlsShown);
  SetShown({ui->Label46, ui->Edit22, ui->Button44, ui->Label47, ui->Edit21, ui->Button43},
           v.temperatureControlsShown);

  ui->Edit38->setEnabled(v.inhibitBoxEnabled);
  ui->Button79->setVisible(v.inhibitSetShown);

  SetPageShown(ui->TabCAN, v.canPageShown);
  SetPageShown(ui->TabPGNID, v.pgnPageShown);
  SetPageShown(ui->TabAnalog, v.analogPageShown);
  SetPageShown(ui->TabDebris, v.debrisPageShown);
  ui->GaugeCoarse->setVisible(v.coarseGaugeShown);
  ui->Edit47->setVisible(!v.coarseGaugeShown);
  ui->GaugeFine->setVisible(v.fineGaugeShown);
  ui->Edit46->setVisible(!v.fineGaugeShown);
  SetPageShown(ui->TabOil, v.oilPageShown);
  SetPageShown(ui->TabTemperature, v.temperaturePageShown);
}
