#include "sim/PtyAttachment.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

struct RateEntry {
  speed_t code;
  int baud;
};

constexpr RateEntry kRates[] = {
    {B50, 50},       {B75, 75},         {B110, 110},       {B134, 134},       {B150, 150},
    {B200, 200},     {B300, 300},       {B600, 600},       {B1200, 1200},     {B1800, 1800},
    {B2400, 2400},   {B4800, 4800},     {B9600, 9600},     {B19200, 19200},   {B38400, 38400},
    {B57600, 57600}, {B115200, 115200}, {B230400, 230400}, {B460800, 460800}, {B921600, 921600},
};

int BaudOf(speed_t code) {
  for (const RateEntry& entry : kRates) {
    if (entry.code == code) return entry.baud;
  }
  return 0;
}

std::string Reason(const std::string& what) { return what + ": " + std::strerror(errno); }

// Creates every missing folder on the way to `path`'s parent.
bool MakeParentFolders(const std::string& path) {
  for (std::size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
    const std::string folder = path.substr(0, slash);
    if (::mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST) return false;
  }
  return true;
}

bool MakeRaw(int descriptor) {
  termios settings{};
  if (::tcgetattr(descriptor, &settings) != 0) return false;
  ::cfmakeraw(&settings);
  return ::tcsetattr(descriptor, TCSANOW, &settings) == 0;
}

}  // namespace

PtyAttachment::~PtyAttachment() { Detach(); }

std::string PtyAttachment::Attach(const std::string& linkPath) {
  master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master_ < 0) return Reason("posix_openpt");
  if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return Reason("unlockpt");
  char name[128] = {};
  if (::ptsname_r(master_, name, sizeof name) != 0) return Reason("ptsname");
  slavePath_ = name;

  ownSlave_ = ::open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (ownSlave_ < 0) return Reason("open " + slavePath_);
  // On Linux the master's terminal settings are the slave's; both calls keep
  // every byte unchanged whichever side is asked.
  if (!MakeRaw(ownSlave_) || !MakeRaw(master_)) return Reason("raw mode");
  const int flags = ::fcntl(master_, F_GETFL);
  if (flags < 0 || ::fcntl(master_, F_SETFL, flags | O_NONBLOCK) != 0) return Reason("non-blocking master");

  watch_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (watch_ < 0) return Reason("inotify");
  if (::inotify_add_watch(watch_, slavePath_.c_str(), IN_CLOSE_WRITE | IN_CLOSE_NOWRITE) < 0) {
    return Reason("inotify watch " + slavePath_);
  }

  if (!MakeParentFolders(linkPath)) return Reason("create folders for " + linkPath);
  struct stat existing {};
  if (::lstat(linkPath.c_str(), &existing) == 0) {
    // A link left by a simulator that was killed outright points nowhere
    // useful any more; anything else at that path is not ours to replace.
    struct stat target {};
    if (!S_ISLNK(existing.st_mode) || ::stat(linkPath.c_str(), &target) == 0) {
      errno = EEXIST;
      return Reason(linkPath);
    }
    ::unlink(linkPath.c_str());
  }
  if (::symlink(slavePath_.c_str(), linkPath.c_str()) != 0) return Reason("symlink " + linkPath);
  linkPath_ = linkPath;
  return "";
}

int PtyAttachment::LineRate() const {
  termios settings{};
  if (::tcgetattr(master_, &settings) != 0) return 0;
  const speed_t input = ::cfgetispeed(&settings);
  return BaudOf(input != B0 ? input : ::cfgetospeed(&settings));
}

std::size_t PtyAttachment::Read(std::uint8_t* destination, std::size_t capacity) {
  const ssize_t n = ::read(master_, destination, capacity);
  return n > 0 ? static_cast<std::size_t>(n) : 0;
}

std::size_t PtyAttachment::Write(const std::uint8_t* data, std::size_t n) {
  std::size_t written = 0;
  while (written < n) {
    const ssize_t r = ::write(master_, data + written, n - written);
    if (r < 0 && errno == EINTR) continue;
    // A full line (nobody reading for a long time) drops the rest, as a
    // sensor talking to an unplugged cable would.
    if (r <= 0) break;
    written += static_cast<std::size_t>(r);
  }
  return written;
}

bool PtyAttachment::TakeWatchEvents() {
  alignas(inotify_event) char buffer[4096];
  bool closed = false;
  for (;;) {
    const ssize_t n = ::read(watch_, buffer, sizeof buffer);
    if (n <= 0) break;
    for (ssize_t at = 0; at < n;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
      closed |= (event->mask & (IN_CLOSE_WRITE | IN_CLOSE_NOWRITE)) != 0;
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
    }
  }
  // The notices say that someone closed the slave, not whether it was the
  // last one: identical notices queued back to back arrive as one.
  if (!closed || OpenedElsewhere()) return false;
  ::ioctl(ownSlave_, TIOCNXCL);
  ::tcflush(ownSlave_, TCIFLUSH);
  return true;
}

bool PtyAttachment::OpenedElsewhere() const {
  const std::string self = std::to_string(::getpid());
  DIR* processes = ::opendir("/proc");
  if (processes == nullptr) return true;
  bool found = false;
  while (!found) {
    const dirent* process = ::readdir(processes);
    if (process == nullptr) break;
    const std::string pid = process->d_name;
    if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos || pid == self) continue;
    const std::string folder = "/proc/" + pid + "/fd";
    DIR* descriptors = ::opendir(folder.c_str());
    if (descriptors == nullptr) continue;  // gone, or another user's
    while (const dirent* descriptor = ::readdir(descriptors)) {
      char target[256] = {};
      const std::string entry = folder + "/" + descriptor->d_name;
      const ssize_t n = ::readlink(entry.c_str(), target, sizeof target - 1);
      if (n > 0 && slavePath_ == std::string(target, static_cast<std::size_t>(n))) {
        found = true;
        break;
      }
    }
    ::closedir(descriptors);
  }
  ::closedir(processes);
  return found;
}

void PtyAttachment::Detach() {
  if (!linkPath_.empty()) {
    char target[256] = {};
    const ssize_t n = ::readlink(linkPath_.c_str(), target, sizeof target - 1);
    if (n > 0 && slavePath_ == std::string(target, static_cast<std::size_t>(n))) ::unlink(linkPath_.c_str());
    linkPath_.clear();
  }
  for (int* descriptor : {&watch_, &ownSlave_, &master_}) {
    if (*descriptor >= 0) ::close(*descriptor);
    *descriptor = -1;
  }
}
