#pragma once
// Common USB serial adapter chips hold received bytes for up to 16 ms (their
// latency timer) before passing them to the computer, so every reply would
// be seen up to 16 ms after its last byte. For a device that resolves to a
// USB serial adapter (ttyUSB), the port asks the driver for low latency as it
// is opened and puts the previous setting back as it is closed. A driver or
// device that refuses (a pseudo-terminal, an on-board port) is left as it is;
// the adapter's sysfs latency_timer is then the way to shorten the wait.

#include <functional>
#include <string>

struct serial_struct;

class SerialLatency {
 public:
  // The serial-settings ioctl (TIOCGSERIAL / TIOCSSERIAL); ::ioctl unless a
  // test puts its own.
  using Control = std::function<int(int fd, unsigned long request, serial_struct* settings)>;

  SerialLatency();

  // Whether a device path with its links resolved names a USB serial
  // adapter: /dev/ttyUSB followed by its number.
  static bool IsUsbAdapter(const std::string& resolvedPath);

  // For a USB serial adapter, switches low latency on; true when it is on
  // afterwards. A refusal only means the adapter keeps its timer.
  bool Request(int fd, const std::string& devicePath);
  // Switches it off again if Request switched it on.
  void Restore(int fd);

  Control control;
  // Resolves the device's links; realpath unless a test puts its own.
  std::function<std::string(const std::string&)> resolve;

 private:
  bool switchedOn_ = false;
};
