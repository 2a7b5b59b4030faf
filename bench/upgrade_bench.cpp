// Measures the write phase of a firmware upgrade against the simulated
// sensor over a pseudo-terminal: a firmware image of realistic size (0x11FFA
// bytes of program space, 16 data bytes per record) goes through the same
// upgrade procedure the Help menu runs, and the time from the first write
// request to the last write reply is compared with what the line and the
// sensor need: each request's bytes and its reply's at 57600 baud (10 bits a
// byte) plus the simulator's own time per request.
//
//   bench-upgrade_bench [--sim PATH] [--write-ms N] [--erase-ms N] [--keep]
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "bench/TimedChannel.h"
#include "firmware/HexImageFile.h"
#include "firmware/SensorUpgrade.h"
#include "link/Commsthread.h"
#include "link/PortMap.h"

namespace {
constexpr std::uint32_t kProgramSpace = 0x11FFA;
}  // namespace

int main(int argc, char** argv) {
  std::string sim = OD_SIM_PATH;
  std::string writeMs = "2";
  std::string eraseMs = "200";
  bool keep = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--sim" && i + 1 < argc) sim = argv[++i];
    else if (arg == "--write-ms" && i + 1 < argc) writeMs = argv[++i];
    else if (arg == "--erase-ms" && i + 1 < argc) eraseMs = argv[++i];
    else if (arg == "--keep") keep = true;
    else {
      std::cerr << "usage: bench-upgrade_bench [--sim PATH] [--write-ms N] [--erase-ms N] [--keep]\n";
      return 2;
    }
  }

  const std::string folder = MakeBenchFolder("od-upgrade-bench");
  if (folder.empty()) return 2;
  const std::string firmware = folder + "/firmware.hex";
  WriteFirmware(firmware, kProgramSpace);

  SimulatedSensor simulator;
  if (!simulator.Start(sim, {"--link", folder + "/com1", "--pace", "--boot", "--write-ms", writeMs, "--erase-ms",
                             eraseMs, "--log", folder + "/sim.log"})) {
    return 2;
  }

  const PortMap ports = PortMap::FromEntries({{1, simulator.Device()}});
  auto serial = std::make_unique<TCommsThread>(ports);
  if (!serial->OpenPort(1, kTextBaud)) {
    std::cerr << "cannot open " << simulator.Device() << "\n";
    return 2;
  }
  serial->StartReader();
  auto timed = std::make_unique<TimedChannel>(std::move(serial));
  TimedChannel& channel = *timed;

  SteadyClock clock;
  BenchUser user;
  LinkState state;
  state.m_comms[1] = std::move(timed);
  state.m_comnum = 1;
  CommandExchange exchange(state, clock, user);
  HexImageFile file;
  if (file.Open(firmware) != HexOpenResult::Opened) {
    std::cerr << "generated firmware refused: " << file.Refusal().Describe() << "\n";
    return 2;
  }
  const std::uint32_t lines = file.LineCount();
  std::cerr << "upgrading the simulated sensor on " << simulator.Device() << " with " << lines << " lines...\n";
  const UpgradeOutcome outcome = SensorUpgrade(exchange, file).RunOpened();
  state.m_comms[1]->ClosePort();

  simulator.Stop();

  const auto& requests = channel.Requests();
  if (outcome != UpgradeOutcome::Programmed || requests.empty() || requests.back().seenUs < 0) {
    std::cerr << "the upgrade did not complete; simulator log in " << folder << "\n";
    return 1;
  }
  std::size_t wireBytes = 0;
  double pollLatencyMs = 0;
  for (const auto& r : requests) {
    wireBytes += r.frameBytes + static_cast<std::size_t>(r.replyBytes);
    pollLatencyMs += static_cast<double>(r.seenUs - r.sentUs) / 1000.0;
  }
  const double wallS = static_cast<double>(requests.back().seenUs - requests.front().sentUs) / 1e6;
  const double wireS = WireSeconds(static_cast<double>(wireBytes), kBootloaderBaud);
  const double simS = static_cast<double>(requests.size()) * std::atof(writeMs.c_str()) / 1000.0;
  const double neededS = wireS + simS;
  std::printf("firmware: %u lines, %zu write requests\n", lines, requests.size());
  std::printf("write phase wall time:        %8.3f s\n", wallS);
  std::printf("bytes on the wire at 57600:   %8.3f s (%zu bytes both ways)\n", wireS, wireBytes);
  std::printf("simulator time (%s ms each):  %8.3f s\n", writeMs.c_str(), simS);
  std::printf("needed:                       %8.3f s\n", neededS);
  std::printf("mean request to seen reply:   %8.2f ms (needed %.2f ms)\n", pollLatencyMs / static_cast<double>(requests.size()),
              neededS * 1000.0 / static_cast<double>(requests.size()));
  std::printf("ratio wall / needed:          %8.3f (target <= 1.01)\n", wallS / neededS);
  if (!keep) std::filesystem::remove_all(folder);
  return 0;
}
