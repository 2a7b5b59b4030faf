#include "firmware/SensorUpgrade.h"

#include <functional>

#include "app/Unit9.h"
#include "firmware/Bootloader.h"

UpgradeOutcome SensorUpgrade::Run() {
  // Choosing a file while another exchange waits would only end in a refusal.
  if (exchange_.State().m_exchangeActive) return UpgradeOutcome::Busy;
  UserInterface& user = exchange_.User();
  switch (file_.Open(user)) {
    case HexOpenResult::Opened:
      break;
    case HexOpenResult::Cancelled:
      user.ShowMessage(ErrorMessage(132, TextOf(132)));
      return UpgradeOutcome::Cancelled;
    case HexOpenResult::Failed:
    case HexOpenResult::Refused: {
      Message message = ErrorMessage(133, TextOf(133));
      message.detail = file_.Refusal().Describe();
      exchange_.State().m_debuglog.Write("%s: %s\n", message.text.c_str(), message.detail.c_str());
      user.ShowMessage(message);
      return UpgradeOutcome::FileRefused;
    }
  }
  return RunOpened();
}

UpgradeOutcome SensorUpgrade::RunOpened() {
  if (!file_.IsOpen()) return UpgradeOutcome::FileRefused;
  ExchangeGuard guard(exchange_.State());
  if (!guard.Acquired()) {
    file_.Close();
    return UpgradeOutcome::Busy;
  }
  const UpgradeOutcome outcome = Program();
  // Whatever happened: the text protocol's rate again, and the file closed.
  if (Channel* channel = exchange_.State().Sensor()) channel->SetBaud(kTextBaud);
  exchange_.Time().Sleep(10);
  LeaveBootloader();
  file_.Close();
  return outcome;
}

void SensorUpgrade::Fail(int entry) { exchange_.User().ShowMessage(ErrorMessage(entry, TextOf(entry))); }

void SensorUpgrade::EnterBootloader() {
  inBootloader_ = true;
  if (hooks_.bootloaderEntered) hooks_.bootloaderEntered();
}

void SensorUpgrade::LeaveBootloader() {
  if (!inBootloader_) return;
  inBootloader_ = false;
  if (hooks_.bootloaderLeft) hooks_.bootloaderLeft();
}

UpgradeOutcome SensorUpgrade::Program() {
  UserInterface& user = exchange_.User();
  Clock& clock = exchange_.Time();
  LinkState& state = exchange_.State();

  user.StopStatusPoll();
  clock.Sleep(100);
  if (hooks_.clearStatusDisplay) hooks_.clearStatusDisplay();
  user.ProcessEvents();

  // A sensor that does not answer may already sit in its bootloader (left
  // there by an earlier upgrade); it is programmed without the reboot.
  const bool answered = exchange_.IdentifySensor(5);
  EnterBootloader();
  if (answered) {
    exchange_.UnlockConfig();
    exchange_.RebootSensor();
    rebooted_ = true;
  }

  // A port that cannot take the bootloader's rate cannot reach it either.
  Channel* channel = state.Sensor();
  const bool rateSet = channel != nullptr && channel->SetBaud(kBootloaderBaud);
  clock.Sleep(100);

  Bootloader bootloader(exchange_, hooks_.stopRequested);
  struct BootStep {
    UpgradeStep step;
    std::function<bool()> run;
    int failureEntry;
    UpgradeOutcome failed;
  };
  const BootStep steps[] = {
      {UpgradeStep::Version, [&] { return rateSet && bootloader.BootloaderVersion(); }, 134,
       UpgradeOutcome::VersionFailed},
      {UpgradeStep::Erase, [&] { return bootloader.BootloaderErase(); }, 135, UpgradeOutcome::EraseFailed},
      {UpgradeStep::Write, [&] { return bootloader.BootloaderWrite(file_); }, 136, UpgradeOutcome::ProgramFailed},
      {UpgradeStep::Verify, [&] { return bootloader.BootloaderVerify(file_); }, 137, UpgradeOutcome::VerifyFailed},
  };
  for (const BootStep& step : steps) {
    reached_ = step.step;
    if (StopRequested()) return UpgradeOutcome::Interrupted;
    if (!step.run()) {
      // A request given up because of the stop is not the sensor's failure.
      if (StopRequested()) return UpgradeOutcome::Interrupted;
      Fail(step.failureEntry);
      return step.failed;
    }
  }

  bootloader.BootloaderRun();
  Message success;
  success.title = 159;
  success.entry = 138;
  success.text = TextOf(138);
  user.ShowMessage(success);
  if (channel != nullptr) channel->SetBaud(kTextBaud);
  clock.Sleep(10);
  LeaveBootloader();
  // The new application's part number and version, for the About window.
  const bool answers = exchange_.IdentifySensor(5);
  state.m_failcount = 0;
  user.StartStatusPoll();
  return answers ? UpgradeOutcome::Programmed : UpgradeOutcome::ProgrammedNotAnswering;
}
