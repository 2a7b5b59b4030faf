#pragma once
// Intel HEX lines for tests, with correct checksums, and firmware files in a
// temporary folder that goes away with the test.

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/TempFolder.h"

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

// A large dense image as a PIC24 toolchain writes one, in upper-case digits
// with CR LF line endings: an extended linear address record for 0x0000,
// 5000 data records of 16 bytes and one of 8 from address 0 (0x13888 bytes,
// no gaps), an extended linear address record for 0x0001 before the record
// at 0x10000, and the end-of-file record: 5004 lines. Every fourth byte (the
// phantom byte of a 24-bit instruction word) is 00; records 3000 to 3799 are
// unused flash written out as FF FF FF 00, the rest is code-like data.
std::string DenseFirmwareText();
inline constexpr std::uint32_t kDenseFirmwareLines = 5004;
inline constexpr std::uint32_t kDenseFirmwareBytes = 0x13888;
// The CRC-16 (polynomial 0x1021, initial value 0) of those 0x13888 bytes,
// computed apart from the code under test.
inline constexpr std::uint16_t kDenseFirmwareCheck = 0x5865;


// A real-world sample from tests/data/hex (see SOURCES.md there).
std::string SamplePath(const std::string& name);
