// `write ADDR VALUE [--bytes 2|4]`: unlocks the configuration, writes the
// register byte by byte and locks the configuration again.
#include <cstdio>

#include "cli/Cli.h"
#include "cli/RegisterArguments.h"
#include "config/RegisterAccess.h"

int RunWrite(CliSession& session, const std::vector<std::string>& args) {
  const auto parsed = ParseRegisterArguments("write", args, true);
  if (!parsed) return kExitUsage;
  if (const int status = session.Connect(); status != kExitOk) return status;
  CommandExchange& exchange = session.Exchange();
  const auto address = static_cast<std::uint16_t>(parsed->address);
  const auto bits = static_cast<std::uint32_t>(static_cast<unsigned long>(parsed->value) & 0xFFFFFFFFUL);
  exchange.UnlockConfig();
  const bool written = parsed->bytes == 2 ? WriteRegister16(exchange, address, static_cast<std::uint16_t>(bits))
                                          : WriteRegister32(exchange, address, bits);
  // Locked again whatever happened, as the configure window leaves it.
  exchange.LockConfig();
  if (!written) {
    std::fprintf(stderr, "oil-debris-cli: the sensor did not acknowledge every byte written to register %04x\n",
                 static_cast<unsigned>(address));
    return kExitFailed;
  }
  return kExitOk;
}
