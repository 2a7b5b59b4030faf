#pragma once
// TCommsThread: one serial port with its reader thread. The reader moves
// every received byte, unchanged, into a 4100-byte receive buffer; the
// user-interface thread empties it (Flush), polls its count (Available) and
// copies it out (CopyOut). The count is atomic and the buffer's store and
// reset share one lock, so no byte is stored while the count is reset.

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "link/Channel.h"
#include "link/PortMap.h"

enum class OpenError { None, NoSuchDevice, PermissionDenied, HeldByAnotherProgram, LineSettings };

class TCommsThread : public Channel {
 public:
  static constexpr std::size_t kBufferSize = 4100;

  explicit TCommsThread(const PortMap& ports);
  ~TCommsThread() override;
  TCommsThread(const TCommsThread&) = delete;
  TCommsThread& operator=(const TCommsThread&) = delete;

  bool OpenPort(int port, int baud) override;
  bool ClosePort() override;
  bool SetBaud(int baud) override;
  void StartReader() override;
  int Available() const override;
  void Flush() override;
  std::size_t CopyOut(std::uint8_t* destination, std::size_t capacity) const override;
  bool WriteBytes(const std::uint8_t* data, std::size_t n) override;

  // Asks the reader to stop; it does so after its next read that brings nothing.
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

 private:
  void Execute();
  // Stops the reader after its current read and waits for it.
  void StopReader();
  bool ApplyLineSettings(int fd, int baud);
  bool Fail(OpenError error, int code);

  const PortMap& ports_;
  int port_ = 0;
  int baud_ = 0;
  std::string device_;
  std::atomic<int> fd_{-1};

  std::thread reader_;
  std::atomic<bool> running_{false};
  std::atomic<bool> stopRequested_{false};
  std::atomic<bool> closeRequested_{false};

  mutable std::mutex bufferLock_;
  std::array<std::uint8_t, kBufferSize> rxBuffer_{};
  std::atomic<std::uint16_t> rxCount_{0};
  std::array<std::uint8_t, 16> chunk_{};

  OpenError lastError_ = OpenError::None;
  std::string lastErrorText_;
};
