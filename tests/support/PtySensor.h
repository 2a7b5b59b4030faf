#pragma once
// A sensor played by a test on the master side of a pseudo-terminal: a thread
// splits what arrives into text requests (STX, text, CR) and writes back what
// `answer` returns for each ("" for no reply). `answer` runs on that thread.

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/Pty.h"

class PtySensor {
 public:
  using Answer = std::function<std::string(const std::string& request)>;

  PtySensor(Pty& pty, Answer answer);
  ~PtySensor();
  PtySensor(const PtySensor&) = delete;
  PtySensor& operator=(const PtySensor&) = delete;

  // Every byte received so far, and the text of every request.
  std::vector<std::uint8_t> Received() const;
  std::vector<std::string> Requests() const;

 private:
  void Run();

  Pty& pty_;
  Answer answer_;
  std::atomic<bool> stop_{false};
  mutable std::mutex mutex_;
  std::vector<std::uint8_t> received_;
  std::vector<std::string> requests_;
  std::thread thread_;
};

// LF CR STX, then `body`, then CR LF, padded with spaces to `length` bytes.
std::string SensorReply(const std::string& body, std::size_t length);
