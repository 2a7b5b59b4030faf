#include "bench/BenchSupport.h"

#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

namespace {
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

// The number after `key` in `line`, or -1.
int NumberAfter(const std::string& line, const std::string& key, std::size_t from = 0) {
  const std::size_t at = line.find(key, from);
  if (at == std::string::npos) return -1;
  return std::atoi(line.c_str() + at + key.size());
}
}  // namespace

bool SimulatedSensor::Start(const std::string& path, const std::vector<std::string>& arguments) {
  int out[2];
  if (::pipe(out) != 0) return false;
  const pid_t pid = ::fork();
  if (pid < 0) return false;
  if (pid == 0) {
    ::dup2(out[1], 1);
    ::close(out[0]);
    std::vector<char*> argv{const_cast<char*>(path.c_str())};
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  ::close(out[1]);
  pid_ = pid;
  std::string line;
  char c;
  while (::read(out[0], &c, 1) == 1 && c != '\n') line += c;
  ::close(out[0]);
  if (line.rfind("ready ", 0) != 0) {
    std::cerr << "the simulator did not start: '" << line << "'\n";
    Stop();
    return false;
  }
  device_ = line.substr(6);
  return true;
}

void SimulatedSensor::Stop() {
  if (pid_ < 0) return;
  ::kill(pid_, SIGTERM);
  ::waitpid(pid_, nullptr, 0);
  pid_ = -1;
}

std::vector<SimRequest> SimLog::ReadNew() {
  std::ifstream in(path_, std::ios::binary);
  in.seekg(static_cast<std::streamoff>(offset_));
  std::vector<SimRequest> requests;
  std::string line;
  // Only whole lines: the simulator flushes each one as it writes it.
  while (std::getline(in, line) && !in.eof()) {
    offset_ += line.size() + 1;
    SimRequest request;
    const std::size_t text = line.find(" text \"");
    if (text != std::string::npos) {
      const std::size_t open = text + 7;
      const std::size_t close = line.find('"', open);
      if (close == std::string::npos) continue;
      request.text = true;
      request.what = line.substr(open, close - open);
      request.requestBytes = static_cast<int>(close - open) + 2;
      request.replyBytes = std::max(0, NumberAfter(line, " -> ", close));
    } else if (const std::size_t boot = line.find(" boot bytes="); boot != std::string::npos) {
      request.requestBytes = NumberAfter(line, " boot bytes=");
      const std::size_t name = line.find(' ', boot + 12);
      if (name != std::string::npos) request.what = line.substr(name + 1, line.find(' ', name + 1) - name - 1);
      request.replyBytes = std::max(0, NumberAfter(line, " -> "));
      request.busyMs = std::max(0, NumberAfter(line, " busy "));
    } else {
      continue;
    }
    requests.push_back(request);
  }
  return requests;
}

void WriteFirmware(const std::string& path, std::uint32_t programSpace, unsigned seed) {
  std::ofstream out(path, std::ios::binary);
  std::mt19937 random(seed);
  for (std::uint32_t address = 0; address < programSpace; address += 16) {
    if (address % 0x10000 == 0) {
      out << Record(4, 0, {static_cast<std::uint8_t>(address >> 24), static_cast<std::uint8_t>(address >> 16)});
    }
    std::vector<std::uint8_t> data(std::min<std::uint32_t>(16, programSpace - address));
    for (std::size_t i = 0; i < data.size(); ++i) {
      data[i] = (address + i) % 4 == 3 ? 0 : static_cast<std::uint8_t>(random());
    }
    out << Record(0, static_cast<std::uint16_t>(address), data);
  }
  out << Record(1, 0, {});
}

std::string MakeBenchFolder(const std::string& name) {
  std::string folder = (std::filesystem::temp_directory_path() / (name + "-XXXXXX")).string();
  if (::mkdtemp(folder.data()) == nullptr) return "";
  return folder;
}
