#include "tests/support/Pty.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>

Pty::Pty() {
  master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) throw std::runtime_error("no pty");
  slave_ = ::ptsname(master_);
  slaveKeeper_ = ::open(slave_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  termios t{};
  ::tcgetattr(slaveKeeper_, &t);
  ::cfmakeraw(&t);
  ::tcsetattr(slaveKeeper_, TCSANOW, &t);
}

Pty::~Pty() {
  if (slaveKeeper_ >= 0) ::close(slaveKeeper_);
  if (master_ >= 0) ::close(master_);
}

void Pty::Write(const std::vector<std::uint8_t>& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
}

std::vector<std::uint8_t> Pty::ReadFor(int ms) {
  std::vector<std::uint8_t> got;
  pollfd p{master_, POLLIN, 0};
  while (::poll(&p, 1, ms) > 0 && (p.revents & POLLIN)) {
    std::uint8_t buffer[256];
    const ssize_t n = ::read(master_, buffer, sizeof buffer);
    if (n <= 0) break;
    got.insert(got.end(), buffer, buffer + n);
  }
  return got;
}

int Pty::Baud() const {
  termios t{};
  ::tcgetattr(master_, &t);
  switch (::cfgetospeed(&t)) {
    case B9600: return 9600;
    case B19200: return 19200;
    case B57600: return 57600;
    default: return 0;
  }
}

PortsFolder::PortsFolder() {
  char pattern[] = "/tmp/od-home-XXXXXX";
  const char* made = ::mkdtemp(pattern);
  if (made == nullptr) throw std::runtime_error("no temp folder");
  home_ = made;
  std::filesystem::create_directories(DataFolder() + "/ports");
}

PortsFolder::~PortsFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(home_, ignored);
}

void PortsFolder::Link(int com, const std::string& device) {
  std::filesystem::create_symlink(device, DataFolder() + "/ports/com" + std::to_string(com));
}
