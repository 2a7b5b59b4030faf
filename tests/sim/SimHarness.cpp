#include "SimHarness.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace {

using Steady = std::chrono::steady_clock;

int ElapsedMs(Steady::time_point since) {
  return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(Steady::now() - since).count());
}

speed_t SpeedCode(int baud) {
  switch (baud) {
    case 9600:
      return B9600;
    case 19200:
      return B19200;
    case 38400:
      return B38400;
    case 57600:
      return B57600;
    default:
      return B115200;
  }
}

}  // namespace

SimProcess::SimProcess(const std::vector<std::string>& arguments, bool linkArguments) {
  char pattern[] = "/tmp/od-sim-test-XXXXXX";
  if (::mkdtemp(pattern) == nullptr) return;
  folder_ = pattern;
  linkPath_ = folder_ + "/com";
  std::vector<std::string> all = arguments;
  if (linkArguments) {
    all.push_back("--link");
    all.push_back(linkPath_);
  }
  process_.emplace(all);
  if (process_->Ready()) slavePath_ = process_->Device();
}

SimProcess::~SimProcess() {
  if (process_) process_->Stop(SIGKILL);
  if (!folder_.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
}

SimPort::SimPort(const std::string& path, int baud) {
  fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd_ < 0) return;
  if (::ioctl(fd_, TIOCEXCL) != 0 || ::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd_);
    fd_ = -1;
    return;
  }
  SetRate(baud);
}

SimPort::~SimPort() {
  if (fd_ >= 0) ::close(fd_);
}

void SimPort::SetRate(int baud) {
  termios settings{};
  ::tcgetattr(fd_, &settings);
  ::cfmakeraw(&settings);
  settings.c_cflag |= CLOCAL | CREAD;
  ::cfsetispeed(&settings, SpeedCode(baud));
  ::cfsetospeed(&settings, SpeedCode(baud));
  ::tcsetattr(fd_, TCSANOW, &settings);
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

void SimPort::Write(const Bytes& bytes) {
  ::tcflush(fd_, TCIFLUSH);
  std::size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t n = ::write(fd_, bytes.data() + written, bytes.size() - written);
    if (n <= 0) break;
    written += static_cast<std::size_t>(n);
  }
}

void SimPort::SendText(const std::string& text) {
  Bytes request{0x02};
  request.insert(request.end(), text.begin(), text.end());
  request.push_back(0x0D);
  Write(request);
}

Bytes SimPort::ReadAtLeast(std::size_t n, int timeoutMs) {
  Bytes received;
  const auto start = Steady::now();
  while (received.size() < n) {
    const int left = timeoutMs - ElapsedMs(start);
    if (left <= 0) break;
    pollfd p{fd_, POLLIN, 0};
    if (::poll(&p, 1, left) <= 0) continue;
    std::uint8_t chunk[256];
    const ssize_t got = ::read(fd_, chunk, sizeof chunk);
    if (got > 0) received.insert(received.end(), chunk, chunk + got);
  }
  return received;
}

Bytes SimPort::ReadFor(int ms) { return ReadAtLeast(static_cast<std::size_t>(-1), ms); }

std::string SimPort::Ask(const std::string& text, std::size_t n, int timeoutMs) {
  SendText(text);
  return AsText(ReadAtLeast(n, timeoutMs));
}

std::vector<std::uint32_t> FieldsFrom5(const std::string& reply) {
  std::vector<std::uint32_t> fields;
  if (reply.size() < 6) return fields;
  const char* at = reply.c_str() + 5;
  for (;;) {
    char* end = nullptr;
    const unsigned long value = std::strtoul(at, &end, 16);
    if (end == at) break;
    fields.push_back(static_cast<std::uint32_t>(value));
    if (*end != ',') break;
    at = end + 1;
  }
  return fields;
}

std::string AsText(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }
