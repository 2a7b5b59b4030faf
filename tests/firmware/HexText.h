#pragma once
// Intel HEX lines for tests, with correct checksums, and firmware files in a
// temporary folder that goes away with the test.

#include <cstdint>
#include <string>
#include <vector>

// ":" byte count, address, type, data, checksum, in upper-case digits.
std::string HexLine(std::uint8_t type, std::uint16_t address, const std::vector<std::uint8_t>& data = {});
std::string DataLine(std::uint16_t address, const std::vector<std::uint8_t>& data);
std::string LinearLine(std::uint16_t upper);
std::string SegmentLine(std::uint16_t segment);
inline const std::string kEndLine = ":00000001FF";

// Lines joined with `ending` after each one.
std::string JoinLines(const std::vector<std::string>& lines, const std::string& ending = "\n");

// A firmware file of `dataRecords` 16-byte data records from address 0 and
// the end-of-file record.
std::string FirmwareText(int dataRecords);

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  // Writes `contents` to a file of that name in the folder; returns its path.
  std::string Write(const std::string& name, const std::string& contents) const;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// A real-world sample from the shared test data.
std::string SamplePath(const std::string& name);
