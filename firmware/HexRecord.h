#pragma once
// One Intel HEX record as the configurator sees it: the bytes a line carries
// after its colon, and the base addresses that records of types 02 and 04
// set for the data records after them.

#include <cstdint>
#include <optional>
#include <vector>

// The memory image spans 0 to 0x4FFFFF; data at the cut-off and above is
// outside the application and never enters the image.
constexpr std::uint32_t kImageSize = 0x500000;
constexpr std::uint32_t kImageCutOff = 0x7FC000;

enum HexRecordType : std::uint8_t {
  kDataRecord = 0x00,
  kEndOfFileRecord = 0x01,
  kExtendedSegmentRecord = 0x02,
  kStartSegmentRecord = 0x03,
  kExtendedLinearRecord = 0x04,
  kStartLinearRecord = 0x05,
};

// Fields of a record: byte count, address high and low, type, data, checksum.
constexpr std::size_t kRecordOverhead = 5;
constexpr std::size_t kRecordDataStart = 4;

// The segment and linear bases in force while a file is read from its start.
class RecordAddressing {
 public:
  // The image address of a data record's first byte; for any other record
  // type the bases change as that type says and there is no address.
  std::optional<std::uint32_t> Follow(const std::vector<std::uint8_t>& record);

 private:
  std::uint32_t segmentBase_ = 0;
  std::uint32_t linearBase_ = 0;
};
