#include "config/Calibration.h"

#include "config/RegisterMap.h"

namespace {

struct CalibrationInfo {
  Calibration action;
  const char* command;
  std::vector<std::uint16_t> registers;
  // Whether the read-back waits 50 ms after the acknowledged command.
  bool pauseBeforeRead;
};

const std::vector<CalibrationInfo>& Table() {
  static const std::vector<CalibrationInfo> table = {
      {Calibration::ZeroTare, "cn", {0x003A, 0x003C}, false},
      {Calibration::FullScaleCoarse, "cc", {0x0004}, true},
      {Calibration::FullScaleFine, "cf", {0x0006}, true},
      {Calibration::CleanOilReference, "cd", {0x0022}, true},
      {Calibration::CoarseScaling, "co", {0x003E}, true},
      {Calibration::FineScaling, "cp", {0x0040}, true},
  };
  return table;
}

const CalibrationInfo& InfoOf(Calibration action) {
  for (const CalibrationInfo& info : Table()) {
    if (info.action == action) return info;
  }
  return Table().front();
}

}  // namespace

const char* CalibrationCommand(Calibration action) { return InfoOf(action).command; }

std::vector<std::uint16_t> CalibrationRegisters(Calibration action) { return InfoOf(action).registers; }

bool Calibrate(Session& session, Calibration action) {
  const CalibrationInfo& info = InfoOf(action);
  // No "a" exchange may fall between the command and its acknowledgement.
  if (session.stopLiveUpdate) session.stopLiveUpdate();
  session.Time().Sleep(50);
  const bool acknowledged = session.Exchange().SendAcknowledgedCommand(info.command);
  if (info.pauseBeforeRead) session.Time().Sleep(50);
  for (std::uint16_t address : info.registers) {
    ShowRegister(session.Convert(), session.Boxes().Box(address), address);
  }
  if (session.resumeLiveUpdate) session.resumeLiveUpdate();
  return acknowledged;
}
