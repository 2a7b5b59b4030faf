// `j1939`: the CAN and PGN/ID pages read as selecting them reads them: the
// fourteen NAME and identifier fields as their boxes show them ("%04x", the
// register's full 16 bits), then the composed NAME, PGN and CAN-ID.
#include <array>
#include <cstdio>

#include "cli/Configuring.h"
#include "config/ConfigureFrame.h"

namespace {

struct Field {
  const char* name;
  std::uint16_t address;
};

// Top to bottom as the CAN page, then the PGN/ID page, lays them out.
constexpr std::array<Field, 14> kFields = {{
    {"function-instance", 0x00C0},
    {"ecu-instance", 0x00C2},
    {"industry-group", 0x00BE},
    {"vehicle-system-instance", 0x00C4},
    {"vehicle-system", 0x00BC},
    {"function", 0x00BA},
    {"manufacturer-code", 0x00B0},
    {"identity-high", 0x00B4},
    {"identity-low", 0x00B6},
    {"priority", 0x00C6},
    {"data-page", 0x00CC},
    {"pdu-format", 0x00CA},
    {"pdu-specific", 0x00C8},
    {"source-address", 0x00B8},
}};

}  // namespace

int RunJ1939(CliSession& session, const std::vector<std::string>& args) {
  if (WantsHelp(args)) {
    std::printf(
        "usage: oil-debris-cli [--port PORT] j1939\n"
        "  The J1939 fields of the CAN and PGN/ID pages, each as its box shows it\n"
        "  (four hexadecimal digits), then NAME, PGN and CAN-ID composed from them:\n");
    for (const Field& f : kFields) std::printf("  %s\n", f.name);
    std::printf(
        "  A sensor whose configure window shows no CAN and PGN/ID pages (analogue\n"
        "  output) is refused (exit 2). A field that could not be read shows as -----\n"
        "  and counts as 0 (exit 1).\n");
    return kExitOk;
  }
  if (!args.empty()) {
    Complain("j1939 takes no arguments");
    return kExitUsage;
  }
  return RunConfiguring(session, [](Session& core, const FeatureVisibility& visibility) {
    if (!visibility.canPageShown || !visibility.pgnPageShown) {
      Complain("j1939: refused: this sensor's configure window shows no CAN and PGN/ID pages (analogue output)");
      return kExitUsage;
    }
    const ConfigPageReading can = ReadConfigPage(core, ConfigPage::CAN);
    const ConfigPageReading pgn = ReadConfigPage(core, ConfigPage::PGNID);
    bool allRead = true;
    for (const Field& f : kFields) {
      ValueBox& box = core.Boxes().Box(f.address);
      const std::string text = box.Text();
      if (text == kFailedRead) allRead = false;
      std::printf("%s %s\n", f.name, text.c_str());
    }
    std::printf("NAME %s\n", can.name->text.c_str());
    std::printf("PGN %s\n", pgn.canId->pgn.text.c_str());
    std::printf("CAN-ID %s\n", pgn.canId->text.c_str());
    if (!allRead) Complain("j1939: the sensor did not answer every read");
    return allRead ? kExitOk : kExitFailed;
  });
}
