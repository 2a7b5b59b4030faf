#pragma once
// The sensor's bootloader at 57600 baud: five framed requests (version,
// erase, write, verify, run). A request succeeds when enough reply bytes
// have arrived within its poll limit; the replies are counted, not read.
// Frames go through the sensor's channel; the caller sets the baud rate.

#include <cstdint>
#include <functional>
#include <vector>

#include "link/CommandExchange.h"

class HexImageFile;

// The command byte that opens each request.
constexpr std::uint8_t kBootloaderVersion = 0x01;
constexpr std::uint8_t kBootloaderErase = 0x02;
constexpr std::uint8_t kBootloaderWrite = 0x03;
constexpr std::uint8_t kBootloaderVerify = 0x04;
constexpr std::uint8_t kBootloaderRun = 0x05;

// A request is assembled in a 1000-byte area: the command byte, the records
// and the two check bytes. Its frame must not pass 1028 bytes on the wire.
constexpr std::size_t kRequestArea = 1000;
constexpr std::size_t kLargestFrame = 1028;
constexpr int kRecordsPerRequest = 10;

class Bootloader {
 public:
  // `stopRequested`, when given, is asked while a reply is awaited and
  // between write requests: true gives the request up and fails the
  // operation, with nothing more sent.
  explicit Bootloader(CommandExchange& exchange, std::function<bool()> stopRequested = {})
      : exchange_(exchange), stopRequested_(std::move(stopRequested)) {}

  // Empties the receive buffer, sends `payload` as one frame and waits until
  // `n` bytes have arrived and the reply's frame is over, for at most `polls`
  // polls of 10 ms (see ReplyWait); with `progress`, each 10 ms waited
  // advances the progress window and lets pending events run.
  bool BootloaderExchange(const std::vector<std::uint8_t>& payload, int n, int polls, bool progress = false);

  bool BootloaderVersion();
  bool BootloaderErase();
  // The whole file in requests of up to ten records, each acknowledged
  // before the next goes out.
  bool BootloaderWrite(HexImageFile& file);
  bool BootloaderVerify(HexImageFile& file);
  bool BootloaderRun();

  // The 11-byte verify payload for an image check value.
  static std::vector<std::uint8_t> VerifyPayload(std::uint16_t checkValue);

 private:
  bool StopRequested() const { return stopRequested_ && stopRequested_(); }

  CommandExchange& exchange_;
  std::function<bool()> stopRequested_;
};
