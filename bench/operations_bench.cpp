// Times every operation that talks to the sensor against the simulated
// sensor pacing its bytes at the line rate (--pace), through the same
// procedures the windows and the command-line tool run, and prints one table
// of wall time over floor. The floor of a run is every byte of every request
// and reply at 10 bits a byte at the line rate, plus the pauses the
// procedure makes, plus the time the simulator's log reports it busy.
//
//   bench-operations_bench [--sim PATH] [--runs N] [--keep]
//
// Each text operation runs N times (export and import N / 4, at least 3) and
// the table gives medians; the upgrade's write phase runs once, as the last
// row, since it leaves the sensor running new firmware.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "app/StatusPoll.h"
#include "bench/BenchSupport.h"
#include "bench/TimedChannel.h"
#include "config/RegisterAccess.h"
#include "config/Session.h"
#include "files/ConfigurationTransfer.h"
#include "firmware/HexImageFile.h"
#include "firmware/SensorUpgrade.h"
#include "link/Commsthread.h"
#include "link/PortMap.h"

namespace {
constexpr std::uint32_t kProgramSpace = 0x11FFA;
constexpr std::uint16_t kFeatures = 0x00C0;

struct Row {
  std::string name;
  int runs = 0;
  double target = 0;  // 0: none
  std::function<bool()> operation;
  // Run after the timing, outside it: whether the operation did its work.
  std::function<bool()> check;
};

struct Measured {
  std::string name;
  int runs = 0;
  int failed = 0;
  double wallMs = 0;
  double floorMs = 0;
  double ratio = 0;
  double target = 0;
};

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const std::size_t mid = values.size() / 2;
  return values.size() % 2 == 1 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

std::string Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class Bench {
 public:
  Bench(Session& session, PauseCountingClock& clock, SimLog& log) : session_(session), clock_(clock), log_(log) {}

  Measured Run(const Row& row) {
    Measured m{row.name, row.runs, 0, 0, 0, 0, row.target};
    std::vector<double> walls, floors, ratios;
    for (int run = 0; run < row.runs; ++run) {
      log_.ReadNew();
      clock_.pausedMs = 0;
      const auto start = std::chrono::steady_clock::now();
      const bool ok = row.operation();
      const auto end = std::chrono::steady_clock::now();
      // The last request without a reply may still be on its way.
      std::this_thread::sleep_for(std::chrono::milliseconds(30));
      double wireBytes = 0;
      double busyMs = 0;
      for (const SimRequest& r : log_.ReadNew()) {
        wireBytes += r.requestBytes + r.replyBytes;
        busyMs += r.busyMs;
      }
      const double wallMs = std::chrono::duration<double, std::milli>(end - start).count();
      const double floorMs = WireSeconds(wireBytes, kTextBaud) * 1000 + static_cast<double>(clock_.pausedMs) + busyMs;
      if (!ok || (row.check && !row.check())) ++m.failed;
      walls.push_back(wallMs);
      floors.push_back(floorMs);
      ratios.push_back(wallMs / floorMs);
    }
    m.wallMs = Median(walls);
    m.floorMs = Median(floors);
    m.ratio = Median(ratios);
    return m;
  }

 private:
  Session& session_;
  PauseCountingClock& clock_;
  SimLog& log_;
};

void Print(const std::vector<Measured>& rows) {
  std::printf("\n%-26s %5s %12s %12s %8s %8s\n", "operation", "runs", "wall ms", "floor ms", "ratio", "target");
  for (const Measured& m : rows) {
    char target[16] = "-";
    if (m.target > 0) std::snprintf(target, sizeof target, "<= %.2f", m.target);
    std::printf("%-26s %5d %12.2f %12.2f %8.3f %8s%s\n", m.name.c_str(), m.runs, m.wallMs, m.floorMs, m.ratio, target,
                m.failed > 0 ? "  (some runs failed)" : "");
  }
}
}  // namespace

int main(int argc, char** argv) {
  std::string simPath = OD_SIM_PATH;
  int runs = 20;
  bool keep = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--sim" && i + 1 < argc) {
      simPath = argv[++i];
    } else if (arg == "--runs" && i + 1 < argc) {
      runs = std::max(1, std::atoi(argv[++i]));
    } else if (arg == "--keep") {
      keep = true;
    } else {
      std::cerr << "usage: bench-operations_bench [--sim PATH] [--runs N] [--keep]\n";
      return 2;
    }
  }

  const std::string folder = MakeBenchFolder("od-operations-bench");
  if (folder.empty()) return 2;
  const std::string firmware = folder + "/firmware.hex";
  WriteFirmware(firmware, kProgramSpace);
  const std::string logPath = folder + "/sim.log";
  const int writeMs = 2;
  SimulatedSensor sim;
  if (!sim.Start(simPath, {"--link", folder + "/com1", "--pace", "--write-ms", std::to_string(writeMs), "--erase-ms",
                           "200", "--log", logPath})) {
    return 2;
  }

  PauseCountingClock clock;
  BenchUser user;
  Session session(clock, user);
  const PortMap ports = PortMap::FromEntries({{1, sim.Device()}});
  auto serial = std::make_unique<TCommsThread>(ports);
  if (!serial->OpenPort(1, kTextBaud)) {
    std::cerr << "cannot open " << sim.Device() << "\n";
    return 2;
  }
  serial->StartReader();
  auto timed = std::make_unique<TimedChannel>(std::move(serial));
  TimedChannel& channel = *timed;
  session.UseChannel(1, std::move(timed));
  CommandExchange& exchange = session.Exchange();
  SimLog log(logPath);

  exchange.UnlockConfig();
  const std::string exported = folder + "/exported.dsc";
  const std::string reference = folder + "/reference.dsc";
  user.file = reference;
  if (ExportConfiguration(session).outcome != TransferOutcome::Completed) {
    std::cerr << "the reference export failed; simulator log in " << folder << "\n";
    return 1;
  }
  std::uint16_t written = 1100;

  const int fileRuns = std::max(3, runs / 4);
  const std::vector<Row> rows = {
      {"identify", runs, 0, [&] { return exchange.IdentifySensor(1); }, nullptr},
      {"status poll", runs, 0, [&] { return PollStatus(exchange, kFeatures).outcome == PollOutcome::Shown; }, nullptr},
      {"register read", runs, 1.10, [&] { return ReadRegister16(exchange, 0x0026).has_value(); }, nullptr},
      {"register write (2 bytes)", runs, 0,
       [&] {
         written = written == 1100 ? 1101 : 1100;
         return WriteRegister16(exchange, 0x0026, written);
       },
       [&] { return ReadRegister16(exchange, 0x0026) == written; }},
      {"export of 38 registers", fileRuns, 1.05,
       [&] {
         user.file = exported;
         return ExportConfiguration(session).outcome == TransferOutcome::Completed;
       },
       [&] { return Contents(exported) == Contents(reference); }},
      {"import of 38 lines", fileRuns, 1.05,
       [&] {
         user.file = reference;
         return ImportConfiguration(session).outcome == TransferOutcome::Completed;
       },
       nullptr},
  };
  std::vector<Measured> results;
  Bench bench(session, clock, log);
  for (const Row& row : rows) {
    std::cerr << row.name << "...\n";
    results.push_back(bench.Run(row));
  }

  // The upgrade's write phase: from the first write request to the end of
  // the wait for the last acknowledgement.
  std::cerr << "upgrade...\n";
  HexImageFile file;
  if (file.Open(firmware) != HexOpenResult::Opened) {
    std::cerr << "generated firmware refused: " << file.Refusal().Describe() << "\n";
    return 2;
  }
  log.ReadNew();
  const UpgradeOutcome outcome = SensorUpgrade(exchange, file).RunOpened();
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  double busyMs = 0;
  for (const SimRequest& r : log.ReadNew()) {
    if (r.what == "write") busyMs += r.busyMs;
  }
  const auto& requests = channel.Requests();
  Measured upgrade{"upgrade write phase", 1, 0, 0, 0, 0, 1.01};
  if (outcome != UpgradeOutcome::Programmed || requests.empty() || requests.back().seenUs < 0) {
    upgrade.failed = 1;
  } else {
    double wireBytes = 0;
    for (const auto& r : requests) wireBytes += static_cast<double>(r.frameBytes + static_cast<std::size_t>(r.replyBytes));
    upgrade.wallMs = static_cast<double>(requests.back().seenUs - requests.front().sentUs) / 1000.0;
    upgrade.floorMs = WireSeconds(wireBytes, kBootloaderBaud) * 1000 + busyMs;
    upgrade.ratio = upgrade.wallMs / upgrade.floorMs;
  }
  results.push_back(upgrade);
  session.Sensor()->ClosePort();
  sim.Stop();

  Print(results);
  std::printf("upgrade: %zu write requests, simulator busy %d ms each\n", requests.size(), writeMs);
  std::printf("a ratio below 1: replies overlapped the next requests on the line (a wait ended at its 10 ms\n"
              "poll while the reply was still arriving, as the 14-byte write reply does)\n");
  if (keep) {
    std::printf("files kept in %s\n", folder.c_str());
  } else {
    std::filesystem::remove_all(folder);
  }
  return 0;
}
