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

  // Sends `payload` as one bootloader frame in one write.
  bool WriteFrame(const std::uint8_t* payload, std::size_t n);
};

// CRC-16 with polynomial 0x1021 and initial value 0, four bits at a time:
// the check value of bootloader frames and of firmware images.
std::uint16_t CheckValue(const std::uint8_t* data, std::size_t n);

// The bootloader frame of a payload: 0x01, the payload and its check value
// (low byte first) with 0x01, 0x04 and 0x10 escaped by 0x10, then 0x04.
std::vector<std::uint8_t> EncodeFrame(const std::uint8_t* payload, std::size_t n);
