// `features`: the features word (register 001E) and what it means.
#include <cstdio>
#include <string>

#include "cli/Cli.h"
#include "config/FeatureFlags.h"
#include "config/Features.h"
#include "config/RegisterAccess.h"

namespace {

const char* OutputType(int item) {
  switch (item) {
    case kMilliamp: return "4 - 20 mA";
    case kVolt: return "0 - 10 V";
    case kModbus: return "MODBUS";
    default: return "CAN";
  }
}

std::string DisabledChannels(const FeatureControls& c) {
  std::string list;
  const auto add = [&list](bool disabled, const char* name) {
    if (!disabled) return;
    if (!list.empty()) list += ", ";
    list += name;
  };
  add(c.coarseDisabled, "coarse");
  add(c.fineDisabled, "fine");
  add(c.thirdDisabled, "water contamination/temperature");
  return list.empty() ? "none" : list;
}

const char* YesNo(bool b) { return b ? "yes" : "no"; }

}  // namespace

int RunFeatures(CliSession& session, const std::vector<std::string>& args) {
  if (!args.empty()) {
    std::fprintf(stderr, "oil-debris-cli: features takes no arguments\n");
    return kExitUsage;
  }
  if (const int status = session.Connect(); status != kExitOk) return status;
  const auto word = ReadRegister16(session.Exchange(), kFeaturesAddress);
  if (!word) {
    std::fprintf(stderr, "oil-debris-cli: the sensor did not answer the read of the features word (001e)\n");
    return kExitFailed;
  }
  const FeatureControls c = DecodeFeatures(*word);
  const char* const channelName[] = {"water contamination (alarm)", "water contamination (continuous)",
                                     "temperature (alarm)", "temperature (continuous)"};
  std::printf("features word: %04x\n", static_cast<unsigned>(*word));
  std::printf("model: %s\n", c.application == kWithDisplay ? "with display" : "without display");
  std::printf("output type: %s\n", OutputType(c.analogType));
  std::printf("third channel: %s\n", channelName[c.channel]);
  std::printf("disabled channels: %s\n", DisabledChannels(c).c_str());
  std::printf("inhibit outputs during configuration: %s\n", YesNo(c.inhibit));
  std::printf("temperature correction: %s\n", YesNo(!c.noTemperatureCorrection));
  std::printf("volume correction: %s\n", YesNo(!c.noVolumeCorrection));
  if ((*word & 0xF000) != 0) std::printf("unused bits set: %04x\n", static_cast<unsigned>(*word & 0xF000));
  return kExitOk;
}
