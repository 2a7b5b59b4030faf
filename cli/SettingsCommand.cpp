// `settings`: every setting this sensor's configure window offers, read page
// by page as a user selecting each page reads it, one "NAME VALUE" line each
// in the form `set` accepts; then the composed J1939 NAME, PGN and CAN-ID
// when the CAN and PGN/ID pages are shown. The live update's "a" is never
// sent.
#include <cstdio>

#include "cli/Configuring.h"
#include "cli/SettingTable.h"
#include "config/ConfigureFrame.h"

namespace {

bool PageShown(ConfigPage page, const FeatureVisibility& v) {
  switch (page) {
    case ConfigPage::Debris: return v.debrisPageShown;
    case ConfigPage::Oil: return v.oilPageShown;
    case ConfigPage::Analog: return v.analogPageShown;
    case ConfigPage::Temperature: return v.temperaturePageShown;
    case ConfigPage::CAN: return v.canPageShown;
    case ConfigPage::PGNID: return v.pgnPageShown;
    case ConfigPage::MODBUS: return true;
    case ConfigPage::None:
    case ConfigPage::SensorType: break;
  }
  return false;
}

bool AllFieldsRead(Session& core, ConfigPage page) {
  for (std::uint16_t address : PageRegisters(page)) {
    const auto* box = dynamic_cast<const PlainValueBox*>(&core.Boxes().Box(address));
    if (box != nullptr && box->font == FontColour::Red) return false;
  }
  return true;
}

constexpr ConfigPage kPages[] = {ConfigPage::Debris, ConfigPage::Oil,  ConfigPage::Analog, ConfigPage::Temperature,
                                 ConfigPage::CAN,    ConfigPage::PGNID, ConfigPage::MODBUS};

}  // namespace

int RunSettings(CliSession& session, const std::vector<std::string>& args) {
  if (WantsHelp(args)) {
    std::printf(
        "usage: oil-debris-cli [--port PORT] settings\n"
        "  One line NAME VALUE for each setting this sensor's configure window\n"
        "  offers (the names of 'oil-debris-cli set --help'), read page by page;\n"
        "  then NAME, PGN and CAN-ID when the CAN and PGN/ID pages are shown.\n"
        "  A value that could not be read shows as ----- (exit 1).\n");
    return kExitOk;
  }
  if (!args.empty()) {
    Complain("settings takes no arguments");
    return kExitUsage;
  }
  return RunConfiguring(session, [](Session& core, const FeatureVisibility& visibility) {
    bool allRead = true;
    std::optional<NameReading> name;
    std::optional<CanIdReading> canId;
    for (ConfigPage page : kPages) {
      if (!PageShown(page, visibility)) continue;
      const ConfigPageReading reading = ReadConfigPage(core, page);
      if (reading.name) name = reading.name;
      if (reading.canId) canId = reading.canId;
      // The composed NAME, PGN and CAN-ID take every field of their page.
      if (reading.name || reading.canId) allRead = allRead && AllFieldsRead(core, page);
      for (const Setting& s : Settings()) {
        if (s.page != page || !s.offered(visibility)) continue;
        const std::optional<std::string> value = ShownValue(core, s);
        if (!value) allRead = false;
        std::printf("%s %s\n", s.name, value.value_or(kFailedRead).c_str());
      }
    }
    if (name) std::printf("NAME %s\n", name->text.c_str());
    if (canId) {
      std::printf("PGN %s\n", canId->pgn.text.c_str());
      std::printf("CAN-ID %s\n", canId->text.c_str());
    }
    if (!allRead) Complain("settings: the sensor did not answer every read");
    return allRead ? kExitOk : kExitFailed;
  });
}
