#pragma once
// The user log: a file the user names from the reporting window's menu
// ("Sensor" > "Log"). Once chosen it stays in force for the rest of the run,
// across closings and showings of the window. Each poll appends one line,
// written in pieces: the time and the empty Resistance column before the
// command is sent, then the record's columns after an accepted reply, ",,,"
// after a missing one, nothing more after a rejected one. The file is never
// held open between polls. Text mode: each "\n" goes out as CR LF, every
// line begins with its break, so the file ends without one.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

struct ReportRecord;

constexpr std::size_t kUserLogNameLimit = 255;

class UserLog {
 public:
  UserLog() = default;
  UserLog(const UserLog&) = delete;
  UserLog& operator=(const UserLog&) = delete;
  ~UserLog() { Close(); }

  // Takes `path` (already in the local character set) as UserLogName and
  // sets UserLogEnabled; creates or empties the file, writes the header and
  // closes it. A file that cannot be created now is tried again by every
  // poll. False when the path is longer than 255 bytes: then nothing changes.
  bool Choose(const std::string& path);

  bool Enabled() const { return enabled_; }
  const std::string& Name() const { return name_; }

  // The start of a poll's line: when enabled, opens the file for appending
  // and writes "\n%.f," with the time and "," for the Resistance column.
  void BeginLine(std::int64_t seconds);
  // The end of the line after a missing reply: ",,,", then close.
  void EndWithoutReply();
  // The end after a rejected reply: the line stops after the Resistance column.
  void EndRejected();
  // The end after an accepted reply: columns 3 to 20, then close.
  void EndWithRecord(const ReportRecord& record);

  // "Time(s),Resistance,...,Status", without a leading break.
  static const char* Header();
  // Columns 3 to 20: "%u,%u,%.f,%u,%u,%.2f,%.2f,%u,...,%u,%02x".
  static std::string Columns(const ReportRecord& record);

 private:
  void Close();

  std::string name_;
  bool enabled_ = false;
  std::FILE* file_ = nullptr;
};
