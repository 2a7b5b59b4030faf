#include "link/PortRefusal.h"

#include <cstdio>

std::optional<PortRefusal> RefusalOf(int port, const Channel& channel, const PortMap& ports) {
  const auto* serial = dynamic_cast<const TCommsThread*>(&channel);
  if (serial == nullptr || ports.Device(port).empty()) return std::nullopt;
  return PortRefusal{port, ports.Resolved(port), serial->LastOpenError(), serial->LastOpenErrorText()};
}

std::string RefusalReason(OpenError error, const std::string& errorText) {
  switch (error) {
    case OpenError::HeldByAnotherProgram: return "busy: held by another program";
    case OpenError::PermissionDenied:
      return "permission denied (join the dialout group: sudo adduser $USER dialout, then log in again)";
    case OpenError::NoSuchDevice: return "no such device";
    case OpenError::LineSettings: return "cannot set the line: " + errorText;
    case OpenError::None: break;
  }
  return "cannot open";
}

std::string DescribeRefusal(const PortRefusal& refusal) {
  char name[16];
  std::snprintf(name, sizeof name, "COM%02d", refusal.port);
  return std::string(name) + " " + refusal.device + ": " + RefusalReason(refusal.error, refusal.errorText);
}

bool AnyRefused(const std::vector<PortRefusal>& refusals, OpenError error) {
  for (const PortRefusal& r : refusals) {
    if (r.error == error) return true;
  }
  return false;
}
