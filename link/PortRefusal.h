#pragma once
// Why a serial device that the port table names could not be opened: held
// by another program, refused to this user, or not there. When the search
// opens no port at all, the debug log, the command-line tool and the
// window's message name each such device with its reason.

#include <optional>
#include <string>
#include <vector>

#include "link/Channel.h"
#include "link/Commsthread.h"

struct PortRefusal {
  int port = 0;
  std::string device;  // as the port table names it, resolved
  OpenError error = OpenError::None;
  std::string errorText;  // the system's word for it
};

// The refusal of a channel whose OpenPort just failed, or no value when the
// port table names no device for the port (nothing to report).
std::optional<PortRefusal> RefusalOf(int port, const Channel& channel, const PortMap& ports);

// The reason in words: "busy: held by another program", "permission denied
// (join the dialout group: sudo adduser $USER dialout, then log in again)",
// "no such device", "cannot set the line: ...".
std::string RefusalReason(OpenError error, const std::string& errorText);

// "COM03 /dev/ttyUSB0: " and the reason.
std::string DescribeRefusal(const PortRefusal& refusal);

// Whether any refusal has the reason.
bool AnyRefused(const std::vector<PortRefusal>& refusals, OpenError error);
