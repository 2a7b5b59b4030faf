#pragma once
// The raw data log, rawdata.csv in the data folder: created afresh (emptied)
// every time the reporting window is shown, one line per accepted record
// with every field as received. Lines are written in text mode (each "\n"
// goes out as CR LF) and each begins with its line break, so the file
// starts with an empty line and ends without a break. The folder is never
// created: without it there is no raw data log.

#include <cstdint>
#include <cstdio>
#include <string>

struct ReportRecord;

class RawDataLog {
 public:
  RawDataLog() = default;
  RawDataLog(const RawDataLog&) = delete;
  RawDataLog& operator=(const RawDataLog&) = delete;
  ~RawDataLog() { Close(); }

  // Creates or empties the file and writes the header; false (and no log)
  // when the file cannot be created.
  bool Open(const std::string& path);
  void Close();
  bool IsOpen() const { return file_ != nullptr; }

  // The record's line at `seconds` since the window was shown; nothing
  // while closed.
  void Write(std::int64_t seconds, const ReportRecord& record);

  // "\nSeconds,Coarse(%),...,Status".
  static const char* Header();
  // "\n%.f,%i,...,%i,%02x": t, fields 1 to 17 as "%i" of the received value,
  // the status as two hexadecimal digits.
  static std::string Line(std::int64_t seconds, const ReportRecord& record);

 private:
  std::FILE* file_ = nullptr;
};

// Writes `text` to `file` with every "\n" as CR LF.
void WriteTextMode(std::FILE* file, const std::string& text);
