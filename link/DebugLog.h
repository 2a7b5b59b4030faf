#pragma once
// The debug log of the port search, the status poll and the configure
// window's live update. Opened (emptied) once per run in a folder that the
// program never creates; every "\n" goes out as CR LF.

#include <cstdio>
#include <string>

class DebugLog {
 public:
  DebugLog() = default;
  DebugLog(const DebugLog&) = delete;
  DebugLog& operator=(const DebugLog&) = delete;
  ~DebugLog();

  // Creates or empties the file; false (and nothing logged) when the folder
  // is missing or the file cannot be written.
  bool Open(const std::string& path);
  void Close();
  bool IsOpen() const { return file_ != nullptr; }
  // printf-style; a no-op while closed.
  void Write(const char* format, ...) __attribute__((format(printf, 2, 3)));

  // $HOME/TesselAppsData/OilDebris, the program's data folder.
  static std::string DataFolder();
  static std::string DefaultPath();

 private:
  std::FILE* file_ = nullptr;
};
