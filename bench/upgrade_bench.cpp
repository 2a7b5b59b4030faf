// Measures the write phase of a firmware upgrade against the simulated
// sensor over a pseudo-terminal: a firmware image of realistic size (0x11FFA
// bytes of program space, 16 data bytes per record) goes through the same
// upgrade procedure the Help menu runs, and the time from the first write
// request to the last write reply is compared with what the line and the
// sensor need: each request's bytes and its reply's at 57600 baud (10 bits a
// byte) plus the simulator's own time per request.
//
//   bench-upgrade_bench [--sim PATH] [--write-ms N] [--erase-ms N] [--keep]
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "bench/TimedChannel.h"
#include "firmware/HexImageFile.h"
#include "firmware/SensorUpgrade.h"
#include "link/Commsthread.h"
#include "link/PortMap.h"

namespace {
constexpr std::uint32_t kProgramSpace = 0x11FFA;
constexpr double kSecondsPerByte = 10.0 / 57600.0;

class QuietUser : public UserInterface {
 public:
  MessageAnswer ShowMessage(const Message& message) override {
    std::cerr << "message: " << message.text << "\n";
    return MessageAnswer::Ok;
  }
  void ProgressTitle(int) override {}
  void ProgressMaximum(int) override {}
  void ProgressPosition(int) override {}
  void ProgressStep() override {}
  void ProgressShow() override {}
  void ProgressClose() override {}
  void ProcessEvents() override {}
  void SetMainCaption(const std::string&) override {}
  std::optional<std::string> ChooseOpenFile(const std::string&) override { return std::nullopt; }
  std::optional<std::string> ChooseSaveFile(const std::string&, const std::string&) override { return std::nullopt; }
  void StopStatusPoll() override {}
  void StartStatusPoll() override {}
  void StopReportingPoll() override {}
  void StartReportingPoll() override {}
  bool ReportingVisible() override { return false; }
};

std::string Record(std::uint8_t type, std::uint16_t address, const std::vector<std::uint8_t>& data) {
  std::vector<std::uint8_t> bytes = {static_cast<std::uint8_t>(data.size()), static_cast<std::uint8_t>(address >> 8),
                                     static_cast<std::uint8_t>(address), type};
  bytes.insert(bytes.end(), data.begin(), data.end());
  std::uint8_t sum = 0;
  for (std::uint8_t b : bytes) sum = static_cast<std::uint8_t>(sum + b);
  bytes.push_back(static_cast<std::uint8_t>(-sum));
  std::string line = ":";
  char pair[3];
  for (std::uint8_t b : bytes) {
    std::snprintf(pair, sizeof pair, "%02X", b);
    line += pair;
  }
  return line + "\r\n";
}

// Program words of 24 bits in 4 bytes (the fourth always 0), 16 bytes a
// record, an extended linear address at every 64 KiB, as compilers write them.
void WriteFirmware(const std::string& path) {
  std::ofstream out(path, std::ios::binary);
  std::mt19937 random(5824);
  for (std::uint32_t address = 0; address < kProgramSpace; address += 16) {
    if (address % 0x10000 == 0) {
      out << Record(4, 0, {static_cast<std::uint8_t>(address >> 24), static_cast<std::uint8_t>(address >> 16)});
    }
    std::vector<std::uint8_t> data(std::min<std::uint32_t>(16, kProgramSpace - address));
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = (address + i) % 4 == 3 ? 0 : static_cast<std::uint8_t>(random());
    out << Record(0, static_cast<std::uint16_t>(address), data);
  }
  out << Record(1, 0, {});
}

struct Simulator {
  pid_t pid = -1;
  std::string pty;
};

// Starts the simulated sensor and waits for its "ready <pty>" line.
Simulator StartSimulator(const std::vector<std::string>& argv) {
  int out[2];
  if (::pipe(out) != 0) return {};
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(out[1], 1);
    ::close(out[0]);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    ::execv(args[0], args.data());
    ::_exit(127);
  }
  ::close(out[1]);
  std::string line;
  char c;
  while (::read(out[0], &c, 1) == 1 && c != '\n') line += c;
  ::close(out[0]);
  if (line.rfind("ready ", 0) != 0) {
    std::cerr << "the simulator did not start: '" << line << "'\n";
    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
    return {};
  }
  return {pid, line.substr(6)};
}
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

  std::string folder = (std::filesystem::temp_directory_path() / "od-upgrade-bench-XXXXXX").string();
  if (::mkdtemp(folder.data()) == nullptr) return 2;
  const std::string firmware = folder + "/firmware.hex";
  WriteFirmware(firmware);

  const Simulator simulator = StartSimulator({sim, "--link", folder + "/com1", "--pace", "--boot", "--write-ms",
                                              writeMs, "--erase-ms", eraseMs, "--log", folder + "/sim.log"});
  if (simulator.pid < 0) return 2;

  const PortMap ports = PortMap::FromEntries({{1, simulator.pty}});
  auto serial = std::make_unique<TCommsThread>(ports);
  if (!serial->OpenPort(1, kTextBaud)) {
    std::cerr << "cannot open " << simulator.pty << "\n";
    return 2;
  }
  serial->StartReader();
  auto timed = std::make_unique<TimedChannel>(std::move(serial));
  TimedChannel& channel = *timed;

  SteadyClock clock;
  QuietUser user;
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
  std::cerr << "upgrading the simulated sensor on " << simulator.pty << " with " << lines << " lines...\n";
  const UpgradeOutcome outcome = SensorUpgrade(exchange, file).RunOpened();
  state.m_comms[1]->ClosePort();

  ::kill(simulator.pid, SIGTERM);
  ::waitpid(simulator.pid, nullptr, 0);

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
  const double wireS = static_cast<double>(wireBytes) * kSecondsPerByte;
  const double simS = static_cast<double>(requests.size()) * std::atof(writeMs.c_str()) / 1000.0;
  const double neededS = wireS + simS;
  std::printf("firmware: %u lines, %zu write requests\n", lines, requests.size());
  std::printf("write phase wall time:        %8.3f s\n", wallS);
  std::printf("bytes on the wire at 57600:   %8.3f s (%zu bytes both ways)\n", wireS, wireBytes);
  std::printf("simulator time (%s ms each):  %8.3f s\n", writeMs.c_str(), simS);
  std::printf("needed:                       %8.3f s\n", neededS);
  std::printf("mean request to seen reply:   %8.2f ms (needed %.2f ms)\n", pollLatencyMs / static_cast<double>(requests.size()),
              neededS * 1000.0 / static_cast<double>(requests.size()));
  std::printf("ratio wall / needed:          %8.3f (target <= 1.25)\n", wallS / neededS);
  if (!keep) std::filesystem::remove_all(folder);
  return 0;
}
