// `calibrate ACTION`: one calibration action of the configure window, its
// acknowledged command and the registers it reads back, printed as
// NAME VALUE. The scaling actions are never refused: their shortcuts work on
// every page.
#include <array>
#include <cstdio>

#include "cli/Configuring.h"
#include "config/Calibration.h"
#include "config/RegisterMap.h"

namespace {

struct Action {
  const char* name;
  Calibration action;
  bool (*offered)(const FeatureVisibility&);
  const char* what;
};

bool OnDebris(const FeatureVisibility& v) { return v.debrisPageShown; }
bool OnWaterContamination(const FeatureVisibility& v) { return v.oilPageShown; }
bool Anywhere(const FeatureVisibility&) { return true; }

constexpr std::array<Action, 6> kActions = {{
    {"zero", Calibration::ZeroTare, OnDebris, "Zero Tare (\"cn\"), reads coarse-offset and fine-offset"},
    {"coarse-full", Calibration::FullScaleCoarse, OnDebris, "Full Scale Coarse (\"cc\"), reads coarse-100"},
    {"fine-full", Calibration::FullScaleFine, OnDebris, "Full Scale Fine (\"cf\"), reads fine-100"},
    {"clean-oil", Calibration::CleanOilReference, OnWaterContamination,
     "Set Clean Oil Reference (\"cd\"), reads oil-reference"},
    {"coarse-scale", Calibration::CoarseScaling, Anywhere, "Scaling > Coarse (\"co\"), reads coarse-scaling"},
    {"fine-scale", Calibration::FineScaling, Anywhere, "Scaling > Fine (\"cp\"), reads fine-scaling"},
}};

// The names the read-back registers are printed under.
const char* RegisterName(std::uint16_t address) {
  switch (address) {
    case 0x003A: return "coarse-offset";
    case 0x003C: return "fine-offset";
    case 0x0004: return "coarse-100";
    case 0x0006: return "fine-100";
    case 0x0022: return "oil-reference";
    case 0x003E: return "coarse-scaling";
    case 0x0040: return "fine-scaling";
    default: return "register";
  }
}

void PrintHelp() {
  std::printf("usage: oil-debris-cli [--port PORT] calibrate ACTION\n"
              "  Runs one calibration action inside the configure window's frame and\n"
              "  prints the values it reads back. Exit 1 with \"Message failed\" when the\n"
              "  sensor does not acknowledge the action (the values are read anyway).\n"
              "actions:\n");
  for (const Action& a : kActions) std::printf("  %-13s %s\n", a.name, a.what);
}

}  // namespace

int RunCalibrate(CliSession& session, const std::vector<std::string>& args) {
  if (WantsHelp(args)) {
    PrintHelp();
    return kExitOk;
  }
  const Action* chosen = nullptr;
  for (const Action& a : kActions) {
    if (args.size() == 1 && args[0] == a.name) chosen = &a;
  }
  if (chosen == nullptr) {
    Complain("calibrate needs one of zero, coarse-full, fine-full, clean-oil, coarse-scale, fine-scale");
    return kExitUsage;
  }
  return RunConfiguring(session, [chosen](Session& core, const FeatureVisibility& visibility) {
    if (!chosen->offered(visibility)) {
      Complain(std::string("calibrate ") + chosen->name +
               ": refused: this sensor's configure window does not show its page; nothing sent");
      return kExitUsage;
    }
    const bool acknowledged = Calibrate(core, chosen->action);
    bool allRead = true;
    for (std::uint16_t address : CalibrationRegisters(chosen->action)) {
      const std::string text = core.Boxes().Box(address).Text();
      if (text == kFailedRead) allRead = false;
      std::printf("%s %s\n", RegisterName(address), text.c_str());
    }
    if (!acknowledged) return kExitFailed;
    if (!allRead) Complain(std::string("calibrate ") + chosen->name + ": the sensor did not answer the read-back");
    return allRead ? kExitOk : kExitFailed;
  });
}
