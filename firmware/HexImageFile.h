#pragma once
// The firmware file during an upgrade: an Intel HEX text file, counted,
// handed out record by record for the bootloader's write command, and
// reduced to the check value of its memory image for the verify command.
//
// The whole file is read and checked when it is opened, so that a damaged
// or unsuitable file is refused before anything is sent to the sensor. Only
// a regular file is read (a FIFO or a device is refused at once, without
// waiting on it), and its records are kept decoded, never as lines.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "firmware/HexFileCheck.h"
#include "link/UserInterface.h"

enum class HexOpenResult { Opened, Cancelled, Failed, Refused };

// Image addresses covered by the check value: [start, end).
struct ImageRange {
  std::uint32_t start = 0;
  std::uint32_t end = 0;
};

// A firmware file for an image of 5 MiB is a few times that size as text;
// anything far larger is not a firmware file.
constexpr std::uint64_t kLargestFirmwareFile = 64ull * 1024 * 1024;

class HexImageFile {
 public:
  static constexpr const char* kFilter = "Hex files (*.hex)|*.hex";

  // Asks for the file with the open-file choice; cancelled when none is chosen.
  HexOpenResult Open(UserInterface& user);
  // Opens the named file without asking (the command-line tool).
  HexOpenResult Open(const std::string& path);
  void Close();
  bool IsOpen() const { return open_; }

  // Lines of the file; a last line without a line break counts as a line.
  std::uint32_t LineCount() const { return records_.LineCount(); }
  // False when no file is open; otherwise back to the first line.
  bool Rewind();
  // The bytes of the next line after its colon (byte count, address, type,
  // data, checksum); empty at the end of the file (and at the blank lines
  // that may follow the last record).
  std::vector<std::uint8_t> ReadRecord();
  // The check value of the file's memory image; reads the whole file from
  // its first line and leaves the position at its end.
  std::uint16_t ImageCheckValue();

  // Why the last Open refused or failed to read the file: the reason names
  // the path once, or the line.
  const HexRefusal& Refusal() const { return refusal_; }
  // The range the last ImageCheckValue covered.
  ImageRange LastRange() const { return lastRange_; }

 private:
  HexRecords records_;
  std::size_t next_ = 0;
  bool open_ = false;
  HexRefusal refusal_;
  ImageRange lastRange_;
};
