#include "link/Commsthread.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

namespace {
// A port whose poll or read fails for another reason than a hang-up is
// looked at again after this pause, so that it does not keep the reader busy.
constexpr int kBrokenDeviceRetryMs = 10;

speed_t SpeedOf(int baud) {
  switch (baud) {
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    default: return B0;
  }
}
}  // namespace

TCommsThread::TCommsThread(const PortMap& ports)
    : openDevice([](const char* path, int flags) { return ::open(path, flags); }),
      ports_(ports),
      wake_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

TCommsThread::~TCommsThread() {
  // The reader stops before the descriptor is closed, so no read can land on
  // a descriptor number that the system has already handed to someone else.
  StopReader();
  std::lock_guard<std::mutex> lock(fdLock_);
  const int fd = fd_.exchange(-1);
  if (fd >= 0) {
    latency_.Restore(fd);
    ::close(fd);
  }
  if (wake_ >= 0) ::close(wake_);
}

bool TCommsThread::Fail(OpenError error, int code) {
  lastError_ = error;
  lastErrorText_ = code != 0 ? std::strerror(code) : "";
  return false;
}

bool TCommsThread::OpenPort(int port, int baud) {
  if (port < 1) return Fail(OpenError::NoSuchDevice, 0);
  if (fd_ >= 0 && !ClosePort()) return false;
  // The reader of a device that went away has stopped; it is collected here.
  if (gone_) StopReader();
  port_ = port;
  baud_ = baud;
  device_ = ports_.Device(port);
  lastError_ = OpenError::None;
  lastErrorText_.clear();
  if (device_.empty()) return Fail(OpenError::NoSuchDevice, ENOENT);

  // Non-blocking first, so that a port without carrier cannot hang the open.
  const int fd = openDevice(device_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    const int code = errno;
    if (code == EACCES || code == EPERM) return Fail(OpenError::PermissionDenied, code);
    if (code == EBUSY) return Fail(OpenError::HeldByAnotherProgram, code);
    return Fail(OpenError::NoSuchDevice, code);
  }
  // Exclusive: TIOCEXCL keeps other openers out, the advisory lock tells a
  // second configurator (or root, whom TIOCEXCL does not stop) that it is taken.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int code = errno;
    ::close(fd);
    return Fail(OpenError::HeldByAnotherProgram, code);
  }
  ::ioctl(fd, TIOCEXCL);
  if (!ApplyLineSettings(fd, baud)) {
    const int code = errno;
    ::close(fd);
    return Fail(OpenError::LineSettings, code);
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
    const int code = errno;
    ::close(fd);
    return Fail(OpenError::LineSettings, code);
  }
  // An adapter that keeps its latency timer still works, only slower.
  latency_.Request(fd, device_);
  {
    std::lock_guard<std::mutex> lock(bufferLock_);
    rxCount_ = 0;
  }
  fd_ = fd;
  gone_ = false;
  WakeReader();
  return true;
}

bool TCommsThread::ApplyLineSettings(int fd, int baud) {
  const speed_t speed = SpeedOf(baud);
  if (speed == B0) {
    errno = EINVAL;
    return false;
  }
  termios settings{};
  if (::tcgetattr(fd, &settings) != 0) return false;
  // Raw: no byte is translated or swallowed; 8 data bits, no parity, 1 stop
  // bit, no flow control of either kind; modem lines ignored (CLOCAL).
  ::cfmakeraw(&settings);
  settings.c_cflag &= ~static_cast<tcflag_t>(PARENB | PARODD | CSTOPB | CSIZE | CRTSCTS | HUPCL);
  settings.c_cflag |= CS8 | CLOCAL | CREAD;
  settings.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK | IGNPAR | PARMRK);
  settings.c_cc[VMIN] = 0;
  settings.c_cc[VTIME] = 0;
  if (::cfsetispeed(&settings, speed) != 0 || ::cfsetospeed(&settings, speed) != 0) return false;
  if (::tcsetattr(fd, TCSANOW, &settings) != 0) return false;
  // DTR and RTS inactive. A pseudo-terminal has no modem lines and answers
  // ENOTTY or EINVAL, which is no reason to refuse it.
  int lines = TIOCM_DTR | TIOCM_RTS;
  if (::ioctl(fd, TIOCMBIC, &lines) != 0 && errno != ENOTTY && errno != EINVAL) return false;
  return true;
}

bool TCommsThread::ClosePort() {
  StopReader();
  std::lock_guard<std::mutex> lock(fdLock_);
  const int fd = fd_.load();
  if (fd < 0) return true;
  latency_.Restore(fd);
  if (::close(fd) != 0 && errno != EINTR) return false;
  fd_ = -1;
  return true;
}

bool TCommsThread::SetBaud(int baud) {
  std::lock_guard<std::mutex> lock(fdLock_);
  const int fd = fd_.load();
  if (fd < 0) return false;
  // What was written leaves at the old rate before the rate changes.
  while (::tcdrain(fd) != 0) {
    if (errno != EINTR) return false;
  }
  if (!ApplyLineSettings(fd, baud)) return false;
  baud_ = baud;
  return true;
}

void TCommsThread::StartReader() {
  {
    std::lock_guard<std::mutex> lock(bufferLock_);
    rxCount_ = 0;
  }
  if (running_) return;
  if (reader_.joinable()) reader_.join();  // a reader that stopped on request
  stopRequested_ = false;
  closeRequested_ = false;
  DrainWakeUps();
  running_ = true;
  // Named after its port, so that a thread listing tells the readers apart.
  const std::string name = ("COM" + std::to_string(port_) + " reader").substr(0, 15);
  // Signals (Ctrl-C, a terminal hang-up) are the program's business, taken
  // on its own threads and never on the reader's: the reader starts with
  // them all blocked, as inherited from this thread meanwhile.
  sigset_t all;
  sigset_t previous;
  sigfillset(&all);
  ::pthread_sigmask(SIG_BLOCK, &all, &previous);
  reader_ = std::thread([this, name] {
    ::pthread_setname_np(::pthread_self(), name.c_str());
    Execute();
  });
  ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

void TCommsThread::RequestStop() {
  stopRequested_ = true;
  WakeReader();
}

void TCommsThread::StopReader() {
  if (!reader_.joinable()) return;
  closeRequested_ = true;
  WakeReader();
  reader_.join();
  running_ = false;
}

void TCommsThread::WakeReader() {
  if (wake_ < 0) return;
  const std::uint64_t one = 1;
  // A full counter already wakes the reader.
  [[maybe_unused]] const ssize_t written = ::write(wake_, &one, sizeof one);
}

void TCommsThread::DrainWakeUps() {
  if (wake_ < 0) return;
  std::uint64_t count = 0;
  [[maybe_unused]] const ssize_t read = ::read(wake_, &count, sizeof count);
}

void TCommsThread::Execute() {
  for (;;) {
    const int fd = fd_.load();
    // With a request pending the reader only looks: the stop waits for a
    // read that brings nothing, the close for the current read. Otherwise it
    // sleeps until bytes arrive or it is woken.
    const bool requested = stopRequested_ || closeRequested_;
    const int timeout = requested ? 0 : (wake_ >= 0 ? -1 : kBrokenDeviceRetryMs);
    pollfd watched[2] = {{wake_, POLLIN, 0}, {fd, POLLIN, 0}};
    bool broken = false;
    if (::poll(watched, 2, timeout) < 0) {
      broken = errno != EINTR;
      watched[0].revents = watched[1].revents = 0;
    }
    if ((watched[0].revents & POLLIN) != 0) DrainWakeUps();

    std::size_t got = 0;
    const short seen = watched[1].revents;
    bool hungUp = fd >= 0 && (seen & (POLLERR | POLLHUP)) != 0;
    if ((seen & POLLNVAL) != 0) broken = true;
    if (fd >= 0 && (seen & POLLIN) != 0) {
      const ssize_t n = ::read(fd, chunk_.data(), chunk_.size());
      if (n > 0) {
        // Bytes that came before a hang-up are kept; the next look finds it.
        got = static_cast<std::size_t>(n);
        hungUp = false;
      } else if (n == 0 || errno == EIO || errno == ENXIO) {
        // Readable yet nothing to read: the device went away.
        hungUp = true;
      } else if (errno != EAGAIN && errno != EINTR) {
        broken = true;
      }
    }
    if (got > 0) Store(got);
    if (hungUp) {
      HangUp();
      break;
    }

    if (closeRequested_) break;
    if (got == 0 && stopRequested_) break;
    if (got == 0 && broken) {
      pollfd wake{wake_, POLLIN, 0};
      ::poll(&wake, wake_ >= 0 ? 1 : 0, kBrokenDeviceRetryMs);
    }
  }
  running_ = false;
}

void TCommsThread::HangUp() {
  {
    std::lock_guard<std::mutex> lock(fdLock_);
    const int fd = fd_.exchange(-1);
    if (fd >= 0) ::close(fd);
  }
  {
    std::lock_guard<std::mutex> lock(bufferLock_);
    gone_ = true;
  }
  arrived_.notify_all();
}

void TCommsThread::Store(std::size_t got) {
  bool reached = false;
  {
    std::lock_guard<std::mutex> lock(bufferLock_);
    std::uint16_t count = rxCount_.load();
    // Bytes beyond the buffer are dropped until the next flush.
    const std::size_t room = kBufferSize - count;
    const std::size_t kept = std::min(got, room);
    std::copy_n(chunk_.begin(), kept, rxBuffer_.begin() + count);
    count = static_cast<std::uint16_t>(count + kept);
    rxCount_.store(count);
    reached = count >= awaited_;
  }
  if (reached) arrived_.notify_all();
}

int TCommsThread::Available() const { return rxCount_.load(); }

void TCommsThread::Flush() {
  std::lock_guard<std::mutex> lock(bufferLock_);
  rxCount_ = 0;
}

int TCommsThread::WaitForCount(int atLeast, std::int64_t timeoutUs) {
  std::unique_lock<std::mutex> lock(bufferLock_);
  if (timeoutUs > 0 && rxCount_.load() < atLeast && !gone_) {
    awaited_ = atLeast;
    arrived_.wait_for(lock, std::chrono::microseconds(timeoutUs),
                      [&] { return rxCount_.load() >= atLeast || gone_; });
    awaited_ = kNobodyWaits;
  }
  return rxCount_.load();
}

std::size_t TCommsThread::CopyOut(std::uint8_t* destination, std::size_t capacity) const {
  std::lock_guard<std::mutex> lock(bufferLock_);
  const std::size_t n = std::min<std::size_t>(rxCount_.load(), capacity);
  std::copy_n(rxBuffer_.begin(), n, destination);
  return n;
}

bool TCommsThread::WriteBytes(const std::uint8_t* data, std::size_t n) {
  std::lock_guard<std::mutex> lock(fdLock_);
  const int fd = fd_.load();
  if (fd < 0) return false;
  std::size_t done = 0;
  while (done < n) {
    const ssize_t w = ::write(fd, data + done, n - done);
    if (w < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(w);
  }
  return true;
}
