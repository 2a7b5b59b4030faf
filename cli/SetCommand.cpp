// `set NAME VALUE`: one setting of the configure window's pages, written by
// its page's "Set" action (validation, pauses, read-back and "Z" as the page
// does them), inside the configure window's frame.
#include <cstdio>
#include <iostream>

#include "cli/Configuring.h"
#include "cli/SettingTable.h"
#include "config/MeasuringPages.h"

namespace {

void PrintHelp() {
  std::printf(
      "usage: oil-debris-cli [--port PORT] set NAME VALUE\n"
      "  Writes one setting as its page's Set button does, between the configure\n"
      "  window's opening (unlock, features read, \"cs\") and closing (\"ce\", lock).\n"
      "  A setting this sensor's configure window does not offer, or a VALUE\n"
      "  outside its limits, is refused (exit 2) and nothing is written. Where the\n"
      "  page reads the value back, the value read is printed as NAME VALUE.\n"
      "  Quote a VALUE that holds spaces.\n"
      "names:\n");
  for (const Setting& s : Settings()) std::printf("  %-18s %s\n", s.name, s.accepts);
  std::printf(
      "offered as the configure window shows them: coarse-100 to fine-offset on\n"
      "  the Debris page, oil-reference to filter-time on Water Contamination, the\n"
      "  levels on Analog (4-20 mA or 0-10 V output; inhibit-level only with inhibit\n"
      "  on), the alarms on Temperature (a temperature channel, or MODBUS output),\n"
      "  function-instance and ecu-instance on CAN and source-address on PGN/ID\n"
      "  (CAN or MODBUS output), the MODBUS settings always.\n");
}

// The temperature page checks the pair: the other alarm is read first, as
// selecting the page reads it.
int CheckOtherAlarm(Session& session, const Setting& setting) {
  const std::uint16_t other = setting.address == kLowTemperatureAlarm ? kHighTemperatureAlarm : kLowTemperatureAlarm;
  ValueBox& box = session.Boxes().Box(other);
  session.Convert().ShowScaledInteger(box, other, 16);
  if (box.Text() == kFailedRead) {
    Complain(std::string("set ") + setting.name + ": the sensor did not answer the read of the other alarm (" +
             (other == kLowTemperatureAlarm ? "low-temperature" : "high-temperature") + "); nothing written");
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace

int RunSet(CliSession& session, const std::vector<std::string>& args) {
  if (WantsHelp(args)) {
    PrintHelp();
    return kExitOk;
  }
  if (args.size() != 2) {
    Complain("set needs NAME VALUE (see 'oil-debris-cli set --help')");
    return kExitUsage;
  }
  const Setting* setting = SettingNamed(args[0]);
  if (setting == nullptr) {
    Complain("set: no setting named '" + args[0] + "' (see 'oil-debris-cli set --help')");
    return kExitUsage;
  }
  const PreparedValue prepared = PrepareValue(*setting, args[1]);
  if (!prepared.refusal.empty()) {
    Complain(std::string("set ") + setting->name + ": '" + args[1] + "' refused: " + prepared.refusal);
    return kExitUsage;
  }
  if (!prepared.note.empty()) Complain(std::string("set ") + setting->name + ": '" + args[1] + "' " + prepared.note);

  return RunConfiguring(session, [&](Session& core, const FeatureVisibility& visibility) {
    if (!setting->offered(visibility)) {
      char word[8];
      std::snprintf(word, sizeof word, "%04x", static_cast<unsigned>(core.Config().FeaturesWord));
      Complain(std::string("set ") + setting->name + ": refused: this sensor's configure window does not offer it " +
               "(features word " + word + "); nothing written");
      return kExitUsage;
    }
    if (setting->kind == SettingKind::TemperatureAlarm) {
      if (const int status = CheckOtherAlarm(core, *setting); status != kExitOk) return status;
    }
    switch (RunSetAction(core, *setting, prepared.boxText)) {
      case SetOutcome::Written: break;
      case SetOutcome::Rejected: {
        std::string why = std::string("takes ") + setting->accepts;
        if (setting->kind == SettingKind::TemperatureAlarm) {
          const bool low = setting->address == kLowTemperatureAlarm;
          const std::uint16_t other = low ? kHighTemperatureAlarm : kLowTemperatureAlarm;
          why += std::string(", and the ") + (low ? "high" : "low") + " alarm is " +
                 core.Boxes().Box(other).Text();
        }
        Complain(std::string("set ") + setting->name + ": '" + args[1] + "' refused: " + why + "; nothing written");
        return kExitUsage;
      }
      case SetOutcome::Failed:
        Complain(std::string("set ") + setting->name + ": the sensor did not acknowledge every byte written");
        return kExitFailed;
    }
    if (ReadsBack(setting->kind)) {
      const std::optional<std::string> shown = ShownValue(core, *setting);
      if (!shown) {
        Complain(std::string("set ") + setting->name + ": the sensor did not answer the read-back");
        return kExitFailed;
      }
      std::printf("%s %s\n", setting->name, shown->c_str());
    }
    return kExitOk;
  });
}
