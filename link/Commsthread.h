#pragma once
// TCommsThread: one serial port with its reader thread. The reader sleeps in
// poll() on the port and on a wake-up descriptor, and moves every received
// byte, unchanged, into a 4100-byte receive buffer; the user-interface thread
// empties it (Flush), reads its count (Available), waits for it to reach a
// number (WaitForCount) and copies it out (CopyOut). The count is atomic and
// the buffer's store and reset share one lock, so no byte is stored while the
// count is reset; the store that reaches the awaited number wakes the waiter.
//
// When the device goes away (a hang-up or error from poll, or a read after
// POLLIN that brings nothing or fails with EIO or ENXIO), the reader closes
// the descriptor, so that a replugged adapter can come back under its own
// name, marks the channel gone, wakes the waiter and stops.

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "link/Channel.h"
#include "link/PortMap.h"
#include "link/SerialLatency.h"

enum class OpenError { None, NoSuchDevice, PermissionDenied, HeldByAnotherProgram, LineSettings };

class TCommsThread : public Channel {
 public:
  static constexpr std::size_t kBufferSize = 4100;
  // One read takes at most this many bytes.
  static constexpr std::size_t kChunkSize = 512;

  explicit TCommsThread(const PortMap& ports);
  ~TCommsThread() override;
  TCommsThread(const TCommsThread&) = delete;
  TCommsThread& operator=(const TCommsThread&) = delete;

  bool OpenPort(int port, int baud) override;
  bool ClosePort() override;
  bool SetBaud(int baud) override;
  int LineRate() const override { return baud_; }
  void StartReader() override;
  int Available() const override;
  void Flush() override;
  int WaitForCount(int atLeast, std::int64_t timeoutUs) override;
  std::size_t CopyOut(std::uint8_t* destination, std::size_t capacity) const override;
  bool WriteBytes(const std::uint8_t* data, std::size_t n) override;
  bool Gone() const override { return gone_; }

  // Asks the reader to stop; it does so after its next read that brings
  // nothing, which it makes at once.
  void RequestStop();
  // Whether the reader thread is running.
  bool ReaderRunning() const { return running_; }

  int PortNumber() const { return port_; }
  const std::string& DeviceName() const { return device_; }
  // Why the last OpenPort failed, and the system's word for it.
  OpenError LastOpenError() const { return lastError_; }
  const std::string& LastOpenErrorText() const { return lastErrorText_; }

  // How a device is opened (tests inject failures); defaults to ::open.
  std::function<int(const char* path, int flags)> openDevice;
  // The low-latency request made for USB serial adapters.
  SerialLatency& Latency() { return latency_; }

 private:
  void Execute();
  // Appends a read's bytes, dropping what would pass the buffer, and wakes
  // the waiting thread once the count it waits for is reached.
  void Store(std::size_t got);
  // Wakes the reader from its poll, to look at the stop and close requests
  // and at the port descriptor.
  void WakeReader();
  void DrainWakeUps();
  // Stops the reader after its current read and waits for it.
  void StopReader();
  // Run by the reader when the device went away.
  void HangUp();
  bool ApplyLineSettings(int fd, int baud);
  bool Fail(OpenError error, int code);

  const PortMap& ports_;
  int port_ = 0;
  int baud_ = 0;
  std::string device_;
  std::atomic<int> fd_{-1};
  // Held while the descriptor is used for writing or line settings and while
  // it is closed, so that no write lands on a number the system has already
  // reused after the reader closed it.
  std::mutex fdLock_;
  std::atomic<bool> gone_{false};
  // An eventfd that wakes the reader; -1 when none could be made (the
  // reader then looks at its requests every 10 ms).
  int wake_ = -1;
  SerialLatency latency_;

  std::thread reader_;
  std::atomic<bool> running_{false};
  std::atomic<bool> stopRequested_{false};
  std::atomic<bool> closeRequested_{false};

  mutable std::mutex bufferLock_;
  std::condition_variable arrived_;
  // The count the waiting thread waits for (guarded by bufferLock_); the
  // waiter also wakes when the device is gone.
  int awaited_ = kNobodyWaits;
  static constexpr int kNobodyWaits = 1 << 30;
  std::array<std::uint8_t, kBufferSize> rxBuffer_{};
  std::atomic<std::uint16_t> rxCount_{0};
  std::array<std::uint8_t, kChunkSize> chunk_{};

  OpenError lastError_ = OpenError::None;
  std::string lastErrorText_;
};
