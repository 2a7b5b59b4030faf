#pragma once
// One serial port to the sensor, as the command exchange and the bootloader
// see it. The POSIX implementation is TCommsThread; tests use an in-memory one.

#include <cstddef>
#include <cstdint>
#include <vector>

class Channel {
 public:
  virtual ~Channel() = default;

  // Opens COM port `port` at `baud` and configures the line; false when the
  // port does not exist, is held elsewhere or cannot be configured.
  virtual bool OpenPort(int port, int baud) = 0;
  virtual bool ClosePort() = 0;
  virtual bool SetBaud(int baud) = 0;
  // The line rate in force, in baud.
  virtual int LineRate() const = 0;
  // Empties the receive buffer and lets the reader run.
  virtual void StartReader() = 0;
  // Bytes received since the last flush.
  virtual int Available() const = 0;
  virtual void Flush() = 0;
  // Blocks until at least `atLeast` bytes have been received since the last
  // flush, or for at most `timeoutUs` microseconds, and returns the count
  // then. A channel whose reader signals arrivals wakes its waiter once the
  // count is reached; this default looks every millisecond.
  virtual int WaitForCount(int atLeast, std::int64_t timeoutUs);
  // Copies the stored bytes from position 0 into `destination`, at most
  // `capacity` of them, without a terminator; returns how many were copied.
  virtual std::size_t CopyOut(std::uint8_t* destination, std::size_t capacity) const = 0;
  virtual bool WriteBytes(const std::uint8_t* data, std::size_t n) = 0;
  // Whether the device went away (unplugged, or its far end closed): the
  // port is then closed, nothing more arrives, waits end at once and writes
  // fail until the port is opened again.
  virtual bool Gone() const { return false; }

  // Writes a request in one write and keeps it as the last request, with
  // whether the write succeeded; every request goes through here.
  bool Send(const std::uint8_t* data, std::size_t n);
  // Sends `payload` as one bootloader frame in one write.
  bool WriteFrame(const std::uint8_t* payload, std::size_t n);

  const std::vector<std::uint8_t>& LastRequest() const { return lastRequest_; }
  bool LastSendFailed() const { return lastSendFailed_; }

  // A line that echoes what is sent (an adapter with local echo, a loopback
  // plug) hands every request back before its reply. Once a reply has been
  // seen to begin with an exact copy of its request, the channel is marked
  // for the rest of its life, and every wait skips that copy.
  bool Echoing() const { return echoing_; }
  void MarkEchoing() { echoing_ = true; }
  // The bytes of the received data that are the echo of the last request:
  // its length on an echoing channel, otherwise 0.
  std::size_t EchoLength() const { return echoing_ ? lastRequest_.size() : 0; }
  // CopyOut of the bytes after the echo of the last request.
  std::size_t CopyReply(std::uint8_t* destination, std::size_t capacity) const;

 private:
  std::vector<std::uint8_t> lastRequest_;
  bool lastSendFailed_ = false;
  bool echoing_ = false;
};

// CRC-16 with polynomial 0x1021 and initial value 0, four bits at a time:
// the check value of bootloader frames and of firmware images.
std::uint16_t CheckValue(const std::uint8_t* data, std::size_t n);

// The bootloader frame of a payload: 0x01, the payload and its check value
// (low byte first) with 0x01, 0x04 and 0x10 escaped by 0x10, then 0x04.
std::vector<std::uint8_t> EncodeFrame(const std::uint8_t* payload, std::size_t n);
