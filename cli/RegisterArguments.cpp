#include "cli/RegisterArguments.h"

#include <iostream>

#include "cli/Cli.h"

namespace {
std::nullopt_t Refuse(const char* command, const std::string& why) {
  std::cerr << "oil-debris-cli: " << command << ": " << why << "\n";
  return std::nullopt;
}
}  // namespace

std::optional<RegisterArguments> ParseRegisterArguments(const char* command, const std::vector<std::string>& args,
                                                        bool withValue) {
  RegisterArguments parsed;
  std::vector<std::string> positional;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string bytes;
    if (args[i] == "--bytes") {
      if (i + 1 >= args.size()) return Refuse(command, "--bytes needs 2 or 4");
      bytes = args[++i];
    } else if (args[i].rfind("--bytes=", 0) == 0) {
      bytes = args[i].substr(8);
    } else {
      positional.push_back(args[i]);
      continue;
    }
    if (bytes != "2" && bytes != "4") return Refuse(command, "--bytes takes 2 or 4, not '" + bytes + "'");
    parsed.bytes = bytes == "2" ? 2 : 4;
  }
  const std::size_t wanted = withValue ? 2 : 1;
  if (positional.size() != wanted) {
    return Refuse(command, withValue ? "needs ADDR VALUE" : "needs ADDR");
  }
  if (!ParseAddress(positional[0], parsed.address)) {
    return Refuse(command, "'" + positional[0] + "' is no register address (hexadecimal, 0 to ffff)");
  }
  if (parsed.address + static_cast<unsigned>(parsed.bytes) - 1 > 0xFFFF) {
    return Refuse(command, "the register runs past address ffff");
  }
  if (withValue) {
    if (!ParseValue(positional[1], parsed.value)) {
      return Refuse(command, "'" + positional[1] + "' is no number (decimal, 0x hexadecimal or 0 octal)");
    }
    // A value is written whole or not at all: no silent loss of high bits.
    const long low = parsed.bytes == 2 ? -0x8000L : -0x80000000L;
    const long high = parsed.bytes == 2 ? 0xFFFFL : 0xFFFFFFFFL;
    if (parsed.value < low || parsed.value > high) {
      return Refuse(command, "'" + positional[1] + "' does not fit in " + std::to_string(parsed.bytes) + " bytes");
    }
  }
  return parsed;
}
