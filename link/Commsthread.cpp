#include "link/Commsthread.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace {
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
    : openDevice([](const char* path, int flags) { return ::open(path, flags); }), ports_(ports) {}

TCommsThread::~TCommsThread() {
  // The reader stops before the descriptor is closed, so no read can land on
  // a descriptor number that the system has already handed to someone else.
  StopReader();
  const int fd = fd_.exchange(-1);
  if (fd >= 0) ::close(fd);
}

bool TCommsThread::Fail(OpenError error, int code) {
  lastError_ = error;
  lastErrorText_ = code != 0 ? std::strerror(code) : "";
  return false;
}

bool TCommsThread::OpenPort(int port, int baud) {
  if (port < 1) return Fail(OpenError::NoSuchDevice, 0);
  if (fd_ >= 0 && !ClosePort()) return false;
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
  {
    std::lock_guard<std::mutex> lock(bufferLock_);
    rxCount_ = 0;
  }
  fd_ = fd;
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
  const int fd = fd_.load();
  if (fd < 0) return true;
  if (::close(fd) != 0 && errno != EINTR) return false;
  fd_ = -1;
  return true;
}

bool TCommsThread::SetBaud(int baud) {
  const int fd = fd_.load();
  if (fd < 0 || !ApplyLineSettings(fd, baud)) return false;
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
  running_ = true;
  reader_ = std::thread([this] { Execute(); });
}

void TCommsThread::RequestStop() { stopRequested_ = true; }

void TCommsThread::StopReader() {
  if (!reader_.joinable()) return;
  closeRequested_ = true;
  reader_.join();
  running_ = false;
}

void TCommsThread::Execute() {
  for (;;) {
    std::size_t got = 0;
    const int fd = fd_.load();
    if (fd >= 0) {
      pollfd p{fd, POLLIN, 0};
      if (::poll(&p, 1, 1) > 0 && (p.revents & POLLIN) != 0) {
        const ssize_t n = ::read(fd, chunk_.data(), chunk_.size());
        if (n > 0) got = static_cast<std::size_t>(n);
      }
    }
    if (got > 0) {
      std::lock_guard<std::mutex> lock(bufferLock_);
      std::uint16_t count = rxCount_.load();
      // Bytes beyond the buffer are dropped until the next flush.
      for (std::size_t i = 0; i < got && count < kBufferSize; ++i) rxBuffer_[count++] = chunk_[i];
      rxCount_.store(count);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    // A close is honoured after the current read, whatever it brought (a
    // device that keeps talking would never give an empty read); a plain stop
    // only after a read that brought nothing.
    if (closeRequested_) break;
    if (got == 0 && stopRequested_) break;
  }
  running_ = false;
}

int TCommsThread::Available() const { return rxCount_.load(); }

void TCommsThread::Flush() {
  std::lock_guard<std::mutex> lock(bufferLock_);
  rxCount_ = 0;
}

std::size_t TCommsThread::CopyOut(std::uint8_t* destination, std::size_t capacity) const {
  std::lock_guard<std::mutex> lock(bufferLock_);
  const std::size_t n = std::min<std::size_t>(rxCount_.load(), capacity);
  std::copy_n(rxBuffer_.begin(), n, destination);
  return n;
}

bool TCommsThread::WriteBytes(const std::uint8_t* data, std::size_t n) {
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
