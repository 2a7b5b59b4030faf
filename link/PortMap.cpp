#include "link/PortMap.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {
constexpr int kHighestPort = 99;

// Entries "<prefix><number>" of a /dev folder, sorted by number.
std::vector<std::string> DevicesWithPrefix(const std::string& prefix, const std::string& folder = "/dev") {
  std::vector<std::pair<long, std::string>> found;
  if (DIR* dir = ::opendir(folder.c_str())) {
    while (const dirent* entry = ::readdir(dir)) {
      const std::string name = entry->d_name;
      if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) continue;
      const std::string digits = name.substr(prefix.size());
      if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) continue;
      found.emplace_back(std::strtol(digits.c_str(), nullptr, 10), folder + "/" + name);
    }
    ::closedir(dir);
  }
  std::sort(found.begin(), found.end());
  std::vector<std::string> devices;
  for (auto& [number, path] : found) devices.push_back(path);
  return devices;
}

// An on-board port is listed only when a UART really sits behind it.
bool HasHardware(const std::string& device) {
  const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  serial_struct info{};
  const bool present = ::ioctl(fd, TIOCGSERIAL, &info) == 0 && info.type != PORT_UNKNOWN;
  ::close(fd);
  return present;
}
}  // namespace

PortMap PortMap::Build(const std::string& dataFolder) {
  PortMap map;
  const std::string folder = dataFolder + "/ports";
  struct stat st{};
  if (::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    map.fromPortsFolder_ = true;
    for (int n = 1; n <= kHighestPort; ++n) {
      const std::string entry = folder + "/com" + std::to_string(n);
      struct stat link{};
      if (::lstat(entry.c_str(), &link) == 0) map.entries_[n] = entry;
    }
    return map;
  }
  std::vector<std::string> devices = DevicesWithPrefix("ttyUSB");
  for (const std::string& d : DevicesWithPrefix("ttyACM")) devices.push_back(d);
  for (const std::string& d : DevicesWithPrefix("ttyS")) {
    if (HasHardware(d)) devices.push_back(d);
  }
  int n = 1;
  for (const std::string& d : devices) {
    if (n > kHighestPort) break;
    map.entries_[n++] = d;
  }
  return map;
}

PortMap PortMap::FromEntries(std::map<int, std::string> entries) {
  PortMap map;
  map.entries_ = std::move(entries);
  return map;
}

std::string PortMap::Device(int port) const {
  const auto it = entries_.find(port);
  return it == entries_.end() ? std::string() : it->second;
}

std::string PortMap::Resolved(int port) const {
  const std::string device = Device(port);
  if (device.empty()) return device;
  char path[PATH_MAX];
  if (::realpath(device.c_str(), path) != nullptr) return path;
  // A link to a device that is not there: name what it points at.
  const ssize_t n = ::readlink(device.c_str(), path, sizeof path - 1);
  if (n > 0) return std::string(path, static_cast<std::size_t>(n));
  return device;
}

namespace {

std::string RealPath(const std::string& path) {
  char resolved[PATH_MAX];
  return ::realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : std::string();
}

// The first line of a small sysfs attribute file, or "".
std::string Attribute(const std::string& path) {
  std::string text;
  if (std::FILE* file = std::fopen(path.c_str(), "r")) {
    char line[256];
    if (std::fgets(line, sizeof line, file) != nullptr) text = line;
    std::fclose(file);
  }
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
  return text;
}

// The USB device folder above a tty's sysfs device: the first folder upward
// that has an idVendor.
std::string UsbDeviceFolder(const std::string& root, const std::string& ttyName) {
  std::string folder = RealPath(root + "/sys/class/tty/" + ttyName + "/device");
  for (int up = 0; up < 6 && folder.size() > 1; ++up) {
    struct stat st {};
    if (::stat((folder + "/idVendor").c_str(), &st) == 0) return folder;
    folder = folder.substr(0, folder.rfind('/'));
  }
  return "";
}

// The /dev/serial/by-id/ entry that leads to the device, or "".
std::string ByIdName(const std::string& root, const std::string& device) {
  const std::string target = RealPath(device);
  std::string name;
  if (DIR* dir = ::opendir((root + "/dev/serial/by-id").c_str())) {
    while (const dirent* entry = ::readdir(dir)) {
      const std::string candidate = entry->d_name;
      if (candidate == "." || candidate == "..") continue;
      if (!target.empty() && RealPath(root + "/dev/serial/by-id/" + candidate) == target) name = candidate;
    }
    ::closedir(dir);
  }
  return name;
}

}  // namespace

std::string PortMap::AdapterName(int port) const {
  const std::string device = Resolved(port);
  const std::string ttyName = device.substr(device.rfind('/') + 1);
  if (ttyName.rfind("ttyUSB", 0) != 0 && ttyName.rfind("ttyACM", 0) != 0) return "";
  const std::string folder = UsbDeviceFolder(systemRoot_, ttyName);
  if (!folder.empty()) {
    std::string name = Attribute(folder + "/product");
    const std::string serial = Attribute(folder + "/serial");
    if (!serial.empty()) name += (name.empty() ? "" : " ") + serial;
    if (!name.empty()) return name;
  }
  return ByIdName(systemRoot_, device);
}

std::string PortMap::Describe(int port) const {
  char name[16];
  std::snprintf(name, sizeof name, "COM%02d", port);
  std::string text = std::string(name) + "  " + Resolved(port);
  if (const std::string adapter = AdapterName(port); !adapter.empty()) text += "  " + adapter;
  return text;
}

namespace {
std::string TtyName(const std::string& device) { return device.substr(device.rfind('/') + 1); }
bool IsUsbAdapter(const std::string& device) { return TtyName(device).rfind("ttyUSB", 0) == 0; }

std::string SerialNumber(const std::string& root, const std::string& device) {
  const std::string folder = UsbDeviceFolder(root, TtyName(device));
  return folder.empty() ? std::string() : Attribute(folder + "/serial");
}

bool Exists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}
}  // namespace

PortMap::Identity PortMap::IdentityOf(int port) const {
  Identity identity;
  if (fromPortsFolder_) {
    identity.link = Device(port);
    return identity;
  }
  identity.device = Resolved(port);
  identity.byId = ByIdName(systemRoot_, identity.device);
  if (IsUsbAdapter(identity.device)) identity.serial = SerialNumber(systemRoot_, identity.device);
  return identity;
}

std::string PortMap::WhereNow(const Identity& identity) const {
  if (!identity.link.empty()) return Exists(identity.link) ? identity.link : std::string();
  if (!identity.byId.empty()) return RealPath(systemRoot_ + "/dev/serial/by-id/" + identity.byId);
  if (!identity.serial.empty()) {
    for (const std::string& device : DevicesWithPrefix("ttyUSB", systemRoot_ + "/dev")) {
      if (SerialNumber(systemRoot_, device) == identity.serial) return device;
    }
    return "";
  }
  if (identity.device.empty() || IsUsbAdapter(identity.device)) return "";
  return Exists(identity.device) ? identity.device : std::string();
}
