#include "link/DebugLog.h"

#include <cstdarg>
#include <cstdlib>
#include <vector>

DebugLog::~DebugLog() { Close(); }

bool DebugLog::Open(const std::string& path) {
  Close();
  file_ = std::fopen(path.c_str(), "w+");
  return file_ != nullptr;
}

void DebugLog::Close() {
  if (file_ != nullptr) {
    std::fclose(file_);
    file_ = nullptr;
  }
}

void DebugLog::Write(const char* format, ...) {
  if (file_ == nullptr) return;
  std::va_list args;
  va_start(args, format);
  std::va_list again;
  va_copy(again, args);
  const int length = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  if (length > 0) {
    std::vector<char> text(static_cast<std::size_t>(length) + 1);
    std::vsnprintf(text.data(), text.size(), format, again);
    // Text mode: a line feed is written as CR LF.
    for (int i = 0; i < length; ++i) {
      if (text[static_cast<std::size_t>(i)] == '\n') std::fputc('\r', file_);
      std::fputc(text[static_cast<std::size_t>(i)], file_);
    }
    std::fflush(file_);
  }
  va_end(again);
}

std::string DebugLog::DataFolder() {
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr ? home : "") + "/TesselAppsData/OilDebris";
}

std::string DebugLog::DefaultPath() { return DataFolder() + "/debug.log"; }
