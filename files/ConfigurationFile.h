#pragma once
// Configuration files (".dsc"): text lines pairing a register address with a
// 16-bit value, written "%02x:%04x" with CR LF line breaks. A file is read
// and checked whole before anything is sent to the sensor: a line that is
// not blank must be, after optional spaces or tabs, one or two hexadecimal
// digits, ":", optional spaces or tabs, one to four hexadecimal digits, then
// nothing but spaces or tabs up to the line end (CR LF, LF, or none on the
// last line; either case of digits). The lines are read as TextLines reads
// them (a byte-order mark, lone-CR files). Anything else refuses the whole
// file; nothing is ever guessed.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A configuration file is a few hundred bytes; anything far larger is not one.
constexpr std::size_t kLargestConfigurationFile = 1024 * 1024;

struct ConfigurationLine {
  int lineNumber = 0;  // from 1, counting blank lines too
  std::uint8_t address = 0;
  std::uint16_t value = 0;
};

// Why a file was refused or could not be read: the line (from 1; 0 when it
// concerns the whole file) and the reason in words.
struct ConfigurationRefusal {
  int line = 0;
  std::string reason;
  std::string Describe() const;
};

struct ConfigurationFileRead {
  std::vector<ConfigurationLine> lines;  // the non-blank lines, in file order
  std::optional<ConfigurationRefusal> refusal;
};

// Checks the contents of a configuration file.
ConfigurationFileRead ParseConfigurationText(const std::string& contents);

// Reads and checks the named file. A file that is not a regular file (a
// FIFO, a directory, a device), is larger than 1 MiB or cannot be opened is
// refused without waiting on it.
ConfigurationFileRead ReadConfigurationFile(const std::string& path);

// One line as Export writes it, with its CR LF: "%02x:%04x\r\n".
std::string ConfigurationLineText(std::uint8_t address, std::uint16_t value);
