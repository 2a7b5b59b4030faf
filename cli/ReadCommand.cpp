// `read ADDR [--bytes 2|4]`: one register's value in hexadecimal and decimal.
#include <cstdio>
#include <iostream>

#include "cli/Cli.h"
#include "cli/RegisterArguments.h"
#include "config/RegisterAccess.h"

int RunRead(CliSession& session, const std::vector<std::string>& args) {
  const auto parsed = ParseRegisterArguments("read", args, false);
  if (!parsed) return kExitUsage;
  if (const int status = session.Connect(); status != kExitOk) return status;
  const auto address = static_cast<std::uint16_t>(parsed->address);
  if (parsed->bytes == 2) {
    const auto value = ReadRegister16(session.Exchange(), address);
    if (value) {
      std::printf("0x%04x %u\n", static_cast<unsigned>(*value), static_cast<unsigned>(*value));
      return kExitOk;
    }
  } else {
    // The raw read: a diagnostic shows the four bytes as they are.
    const auto value = ReadRegister32Raw(session.Exchange(), address);
    if (value) {
      std::printf("0x%08x %u\n", static_cast<unsigned>(*value), static_cast<unsigned>(*value));
      return kExitOk;
    }
  }
  std::fprintf(stderr, "oil-debris-cli: the sensor did not answer the read of register %04x\n",
               static_cast<unsigned>(address));
  return kExitFailed;
}
