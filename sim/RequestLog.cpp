#include "sim/RequestLog.h"

#include <chrono>
#include <ctime>

namespace {
std::int64_t SteadyMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}
}  // namespace

RequestLog::~RequestLog() {
  if (file_ != nullptr) std::fclose(file_);
}

bool RequestLog::Open(const std::string& path) {
  file_ = std::fopen(path.c_str(), "w");
  startMs_ = SteadyMs();
  return file_ != nullptr;
}

void RequestLog::Line(const std::string& text) {
  if (file_ == nullptr) return;
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const long millis =
      static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
  std::tm local{};
  localtime_r(&seconds, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
  std::fprintf(file_, "%s.%03ld +%lldms %s\n", stamp, millis, static_cast<long long>(SteadyMs() - startMs_),
               text.c_str());
  std::fflush(file_);
}

std::string RequestLog::Printable(const std::vector<std::uint8_t>& bytes) {
  std::string text;
  for (const std::uint8_t b : bytes) {
    if (b >= 0x20 && b < 0x7F && b != '\\') {
      text += static_cast<char>(b);
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", b);
      text += escaped;
    }
  }
  return text;
}
