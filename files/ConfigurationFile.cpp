#include "files/ConfigurationFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "files/TextLines.h"
#include "link/HexDigits.h"

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t'; }

// Reads a run of hexadecimal digits at `pos`; their number goes to `digits`.
std::uint32_t ReadHexRun(const std::string& line, std::size_t& pos, std::size_t& digits) {
  std::uint32_t value = 0;
  digits = 0;
  while (pos < line.size() && HexDigitValue(line[pos]) >= 0) {
    if (digits < 8) value = value * 16 + static_cast<std::uint32_t>(HexDigitValue(line[pos]));
    ++digits;
    ++pos;
  }
  return value;
}

// The fault of a non-blank line in words, or "" when it is a good line.
std::string LineFault(const std::string& line, ConfigurationLine& out) {
  if (line.find('\0') != std::string::npos) return "the line holds a NUL byte";
  std::size_t pos = 0;
  while (pos < line.size() && IsSpace(line[pos])) ++pos;
  std::size_t digits = 0;
  const std::uint32_t address = ReadHexRun(line, pos, digits);
  if (digits == 0) return "the line does not begin with a hexadecimal register address";
  if (digits > 2) return "the register address has more than two hexadecimal digits";
  if (pos >= line.size() || line[pos] != ':') return "no colon after the register address";
  ++pos;
  while (pos < line.size() && IsSpace(line[pos])) ++pos;
  const std::uint32_t value = ReadHexRun(line, pos, digits);
  if (digits == 0) return "no hexadecimal value after the colon";
  if (digits > 4) return "the value has more than four hexadecimal digits";
  while (pos < line.size() && IsSpace(line[pos])) ++pos;
  if (pos < line.size()) return "something other than spaces follows the value";
  out.address = static_cast<std::uint8_t>(address);
  out.value = static_cast<std::uint16_t>(value);
  return "";
}

bool IsBlank(const std::string& line) {
  for (const char c : line) {
    if (!IsSpace(c)) return false;
  }
  return true;
}

ConfigurationFileRead Refused(int line, std::string reason) {
  ConfigurationFileRead read;
  read.refusal = ConfigurationRefusal{line, std::move(reason)};
  return read;
}

}  // namespace

std::string ConfigurationRefusal::Describe() const {
  if (line == 0) return reason;
  return "line " + std::to_string(line) + ": " + reason;
}

ConfigurationFileRead ParseConfigurationText(const std::string& contents) {
  ConfigurationFileRead read;
  TextLines lines(contents);
  std::string_view text;
  while (lines.Next(text)) {
    const int number = lines.Number();
    const std::string line(text);
    if (lines.StrayCarriageReturn()) return Refused(number, "a carriage return in the middle of the line");
    if (IsBlank(line)) continue;
    ConfigurationLine good;
    good.lineNumber = number;
    const std::string fault = LineFault(line, good);
    if (!fault.empty()) return Refused(number, fault);
    read.lines.push_back(good);
  }
  return read;
}

ConfigurationFileRead ReadConfigurationFile(const std::string& path) {
  // Without blocking: a FIFO or a device must not hang the program.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return Refused(0, "cannot open " + path + ": " + std::strerror(errno));
  struct stat info {};
  std::string contents;
  std::string fault;
  if (::fstat(fd, &info) != 0) {
    fault = "cannot read " + path + ": " + std::strerror(errno);
  } else if (!S_ISREG(info.st_mode)) {
    fault = path + " is not a regular file";
  } else if (static_cast<std::uint64_t>(info.st_size) > kLargestConfigurationFile) {
    fault = path + " is larger than 1 MiB: not a configuration file";
  } else {
    char chunk[16384];
    for (;;) {
      const ssize_t n = ::read(fd, chunk, sizeof chunk);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        fault = "cannot read " + path + ": " + std::strerror(errno);
        break;
      }
      if (n == 0) break;
      contents.append(chunk, static_cast<std::size_t>(n));
      if (contents.size() > kLargestConfigurationFile) {
        fault = path + " is larger than 1 MiB: not a configuration file";
        break;
      }
    }
  }
  ::close(fd);
  if (!fault.empty()) return Refused(0, fault);
  return ParseConfigurationText(contents);
}

std::string ConfigurationLineText(std::uint8_t address, std::uint16_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%02x:%04x\r\n", static_cast<unsigned>(address), static_cast<unsigned>(value));
  return text;
}
