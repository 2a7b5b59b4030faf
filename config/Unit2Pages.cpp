// The configure window's page actions: the "Set" buttons, the spin buttons,
// the calibration buttons and the Scaling menu, each bound to its core
// procedure on the session's register boxes.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <array>

#include "app/QtLook.h"
#include "config/Calibration.h"
#include "config/J1939Pages.h"
#include "config/MeasuringPages.h"
#include "config/ModbusSettings.h"
#include "config/QtSpinButton.h"
#include "config/Unit2.h"
#include "ui_Unit2.h"

namespace {

constexpr int kSpinTimerMs = 200;

// A "Set" button and the register its action writes.
struct SetButton {
  const char* name;
  std::uint16_t address;
};

constexpr std::array<SetButton, 4> kDebrisSets = {
    {{"Button4", 0x0004}, {"Button8", 0x0006}, {"Button98", 0x003A}, {"Button102", 0x003C}}};
constexpr std::array<SetButton, 2> kThresholdSets = {{{"Button12", 0x0026}, {"Button14", 0x0028}}};
constexpr std::array<SetButton, 4> kAnalogueSets = {
    {{"Button78", 0x000E}, {"Button80", 0x000C}, {"Button40", 0x0010}, {"Button79", 0x002A}}};
constexpr std::array<SetButton, 2> kAlarmSets = {{{"Button43", 0x0030}, {"Button44", 0x0032}}};
// Every J1939 field has its "Set"; only Button68, Button67 and Button28 are
// ever shown.
constexpr std::array<SetButton, 14> kJ1939Sets = {{
    {"Button68", 0x00C0}, {"Button67", 0x00C2}, {"Button34", 0x00BE}, {"Button36", 0x00C4}, {"Button32", 0x00BC},
    {"Button30", 0x00BA}, {"Button22", 0x00B0}, {"Button24", 0x00B4}, {"Button26", 0x00B6}, {"Button56", 0x00C6},
    {"Button60", 0x00CC}, {"Button61", 0x00CA}, {"Button62", 0x00C8}, {"Button28", 0x00B8},
}};

}  // namespace

void TForm2::RunExchange(const std::function<void()>& action) {
  ExchangeGuard guard(session_.Link());
  if (!guard.Acquired()) return;
  const BusyCursor busy;
  action();
}

void TForm2::ConnectPageActions() {
  Session* s = &session_;
  const auto onClick = [this](const char* name, std::function<void()> action) {
    connect(findChild<QPushButton*>(name), &QPushButton::clicked, this,
            [this, action = std::move(action)] { RunExchange(action); });
  };
  for (const SetButton& b : kDebrisSets) onClick(b.name, [s, a = b.address] { SetDebrisValue(*s, a); });
  onClick("Button10", [s] { SetOilReference(*s); });
  for (const SetButton& b : kThresholdSets) onClick(b.name, [s, a = b.address] { SetOilThreshold(*s, a); });
  onClick("Button16", [s] { SetFilterTime(*s); });
  for (const SetButton& b : kAnalogueSets) onClick(b.name, [s, a = b.address] { SetAnalogueLevel(*s, a); });
  for (const SetButton& b : kAlarmSets) onClick(b.name, [s, a = b.address] { SetTemperatureAlarm(*s, a); });
  for (const SetButton& b : kJ1939Sets) onClick(b.name, [this, a = b.address] { SetJ1939Click(a); });

  onClick("ButtonSetSlaveAddress", [s] { SetSlaveAddress(*s); });
  onClick("ButtonSetBaudRate", [this] { ButtonSetBaudRateClick(); });
  onClick("ButtonSetParity", [s] { SetParity(*s); });
  onClick("ButtonSetSensorName", [s] { SetModbusText(*s, kSensorNameAddress); });
  onClick("ButtonSetSensorLocation", [s] { SetModbusText(*s, kSensorLocationAddress); });
  onClick("ButtonSlaveAddress", [s] { ReadSlaveAddress(*s); });
  onClick("ButtonBaudRate", [this] { ButtonBaudRateClick(); });
  onClick("ButtonParity", [s] { ReadParity(*s); });
  onClick("ButtonSensorName", [s] { ReadModbusText(*s, kSensorNameAddress); });
  onClick("ButtonSensorLocation", [s] { ReadModbusText(*s, kSensorLocationAddress); });

  // A text typed into a drop-down box is no new entry of its list; an entry
  // picked from the list (or typed whole and confirmed) is a choice.
  ui->ComboBoxBaudRate->setInsertPolicy(QComboBox::NoInsert);
  ui->ComboBoxParity->setInsertPolicy(QComboBox::NoInsert);
  connect(ui->ComboBoxBaudRate, &QComboBox::activated, this, [this] { baudRatePicked_ = true; });

  connect(ui->Button89, &QPushButton::clicked, this, &TForm2::Button89Click);
  connect(ui->Button87, &QPushButton::clicked, this, &TForm2::Button87Click);
  connect(ui->Button88, &QPushButton::clicked, this, &TForm2::Button88Click);
  connect(ui->Button90, &QPushButton::clicked, this, &TForm2::Button90Click);
  connect(ui->Coarse1, &QAction::triggered, this, &TForm2::Coarse1Click);
  connect(ui->Fine1, &QAction::triggered, this, &TForm2::Fine1Click);

  SpinTimer = new QTimer(this);
  SpinTimer->setObjectName("SpinTimer");
  SpinTimer->setSingleShot(true);
  SpinTimer->setInterval(kSpinTimerMs);
  const std::array<std::pair<QtSpinButton*, QLineEdit*>, 4> spins = {{{ui->CSpinCoarseFull, ui->Edit2},
                                                                      {ui->CSpinFineFull, ui->Edit4},
                                                                      {ui->CSpinButton1, ui->Edit41},
                                                                      {ui->CSpinButton3, ui->Edit43}}};
  for (const auto& [spin, box] : spins) {
    connect(spin, &QtSpinButton::upClick, this, [this, box = box] { SpinClick(box, SpinDirection::Up); });
    connect(spin, &QtSpinButton::downClick, this, [this, box = box] { SpinClick(box, SpinDirection::Down); });
  }
}

void TForm2::Button86Click() { Calibrate(session_, Calibration::ZeroTare); }

void TForm2::Button89Click() {
  RunExchange([this] { Button86Click(); });
}

void TForm2::Button87Click() {
  RunExchange([this] { Calibrate(session_, Calibration::FullScaleCoarse); });
}

void TForm2::Button88Click() {
  RunExchange([this] { Calibrate(session_, Calibration::FullScaleFine); });
}

void TForm2::Button90Click() {
  RunExchange([this] { Calibrate(session_, Calibration::CleanOilReference); });
}

void TForm2::Coarse1Click() {
  RunExchange([this] { Calibrate(session_, Calibration::CoarseScaling); });
}

void TForm2::Fine1Click() {
  RunExchange([this] { Calibrate(session_, Calibration::FineScaling); });
}

void TForm2::SpinClick(QLineEdit* box, SpinDirection direction) {
  const std::string text = box->text().toStdString();
  const std::string stepped = SpinStepText(session_.Config().SpinClickCount, text, direction, SpinTimer->isActive());
  box->setText(QString::fromStdString(stepped));
  SpinTimer->start();
}

void TForm2::SetJ1939Click(std::uint16_t address) {
  const J1939SetResult result = SetJ1939Field(session_, address);
  ShowPageReading({result.name, result.canId, std::nullopt});
}

void TForm2::ButtonSetBaudRateClick() {
  std::optional<std::string> chosen;
  if (baudRatePicked_) chosen = ui->ComboBoxBaudRate->currentText().toStdString();
  SetBaudRate(session_, chosen);
}

void TForm2::ButtonBaudRateClick() {
  ShowPageReading({std::nullopt, std::nullopt, ModbusReading{ReadBaudRate(session_)}});
}

void TForm2::ShowPageReading(const ConfigPageReading& reading) {
  if (reading.name) ui->Edit28->setText(QString::fromStdString(reading.name->text));
  if (reading.canId) {
    ui->Edit33->setText(QString::fromStdString(reading.canId->pgn.text));
    ui->Edit34->setText(QString::fromStdString(reading.canId->text));
  }
  // The drop-down box takes the text in its normal colour, also "-----".
  if (reading.modbus) ui->ComboBoxBaudRate->setEditText(QString::fromStdString(reading.modbus->baudRateText));
}
