#include "firmware/SensorUpgrade.h"

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
  file_.Close();
  return outcome;
}

void SensorUpgrade::Fail(int entry) { exchange_.User().ShowMessage(ErrorMessage(entry, TextOf(entry))); }

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
  if (exchange_.IdentifySensor(5)) {
    exchange_.UnlockConfig();
    exchange_.RebootSensor();
  }

  // A port that cannot take the bootloader's rate cannot reach it either.
  Channel* channel = state.Sensor();
  const bool rateSet = channel != nullptr && channel->SetBaud(kBootloaderBaud);
  clock.Sleep(100);

  Bootloader bootloader(exchange_);
  if (!rateSet || !bootloader.BootloaderVersion()) {
    Fail(134);
    return UpgradeOutcome::VersionFailed;
  }
  if (!bootloader.BootloaderErase()) {
    Fail(135);
    return UpgradeOutcome::EraseFailed;
  }
  if (!bootloader.BootloaderWrite(file_)) {
    Fail(136);
    return UpgradeOutcome::ProgramFailed;
  }
  if (!bootloader.BootloaderVerify(file_)) {
    Fail(137);
    return UpgradeOutcome::VerifyFailed;
  }

  bootloader.BootloaderRun();
  Message success;
  success.title = 159;
  success.entry = 138;
  success.text = TextOf(138);
  user.ShowMessage(success);
  if (Channel* channel = state.Sensor()) channel->SetBaud(kTextBaud);
  clock.Sleep(10);
  // The new application's part number and version, for the About window.
  exchange_.IdentifySensor(5);
  state.m_failcount = 0;
  user.StartStatusPoll();
  return UpgradeOutcome::Programmed;
}
