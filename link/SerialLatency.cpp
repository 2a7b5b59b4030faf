#include "link/SerialLatency.h"

#include <linux/serial.h>
#include <sys/ioctl.h>

#include <cctype>
#include <climits>
#include <cstdlib>

SerialLatency::SerialLatency()
    : control([](int fd, unsigned long request, serial_struct* settings) { return ::ioctl(fd, request, settings); }),
      resolve([](const std::string& path) {
        char resolved[PATH_MAX];
        return ::realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : path;
      }) {}

bool SerialLatency::IsUsbAdapter(const std::string& resolvedPath) {
  const std::string prefix = "/dev/ttyUSB";
  if (resolvedPath.size() <= prefix.size() || resolvedPath.compare(0, prefix.size(), prefix) != 0) return false;
  for (std::size_t i = prefix.size(); i < resolvedPath.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(resolvedPath[i]))) return false;
  }
  return true;
}

bool SerialLatency::Request(int fd, const std::string& devicePath) {
  switchedOn_ = false;
  if (!IsUsbAdapter(resolve(devicePath))) return false;
  serial_struct settings{};
  if (control(fd, TIOCGSERIAL, &settings) != 0) return false;
  if ((settings.flags & ASYNC_LOW_LATENCY) != 0) return true;
  settings.flags |= ASYNC_LOW_LATENCY;
  if (control(fd, TIOCSSERIAL, &settings) != 0) return false;
  switchedOn_ = true;
  return true;
}

void SerialLatency::Restore(int fd) {
  if (!switchedOn_) return;
  switchedOn_ = false;
  serial_struct settings{};
  if (control(fd, TIOCGSERIAL, &settings) != 0) return;
  settings.flags &= ~ASYNC_LOW_LATENCY;
  control(fd, TIOCSSERIAL, &settings);
}
