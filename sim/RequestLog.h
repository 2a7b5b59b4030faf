#pragma once
// The --log file: one line per request, reply and notable event, each with
// the wall-clock time to the millisecond and the milliseconds since start,
// so a benchmark can read per-request timing.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

class RequestLog {
 public:
  RequestLog() = default;
  ~RequestLog();
  RequestLog(const RequestLog&) = delete;
  RequestLog& operator=(const RequestLog&) = delete;

  // Opens (and empties) the file; false when it cannot be written.
  bool Open(const std::string& path);
  bool IsOpen() const { return file_ != nullptr; }

  void Line(const std::string& text);

  // Bytes as text with control and non-ASCII bytes written as \xNN.
  static std::string Printable(const std::vector<std::uint8_t>& bytes);

 private:
  std::FILE* file_ = nullptr;
  std::int64_t startMs_ = 0;
};
