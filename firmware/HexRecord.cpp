#include "firmware/HexRecord.h"

namespace {
// Characters other than hexadecimal digits count as 0; files are checked on
// opening, so they never reach the image or the sensor.
std::uint8_t DigitValue(char c) {
  if (c >= '0' && c <= '9') return static_cast<std::uint8_t>(c - '0');
  if (c >= 'A' && c <= 'F') return static_cast<std::uint8_t>(c - 'A' + 10);
  if (c >= 'a' && c <= 'f') return static_cast<std::uint8_t>(c - 'a' + 10);
  return 0;
}
}  // namespace

std::vector<std::uint8_t> DecodeRecord(std::string_view digits) {
  std::vector<std::uint8_t> bytes;
  bytes.reserve(digits.size() / 2);
  for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
    bytes.push_back(static_cast<std::uint8_t>(DigitValue(digits[i]) << 4 | DigitValue(digits[i + 1])));
  }
  return bytes;
}

std::optional<std::uint32_t> RecordAddressing::Follow(const std::vector<std::uint8_t>& record) {
  if (record.size() < kRecordDataStart) return std::nullopt;
  const std::uint32_t field = static_cast<std::uint32_t>(record[1]) << 8 | record[2];
  const auto firstTwo = [&record]() -> std::uint32_t {
    if (record.size() < kRecordDataStart + 2) return 0;
    return static_cast<std::uint32_t>(record[kRecordDataStart]) << 8 | record[kRecordDataStart + 1];
  };
  switch (record[3]) {
    case kDataRecord:
      return field + linearBase_ + segmentBase_;
    case kExtendedSegmentRecord:
      segmentBase_ = firstTwo() * 16;
      linearBase_ = 0;
      return std::nullopt;
    case kExtendedLinearRecord:
      linearBase_ = firstTwo() * 65536;
      segmentBase_ = 0;
      return std::nullopt;
    default:
      // End of file, start addresses and undefined types: both bases reset.
      segmentBase_ = 0;
      linearBase_ = 0;
      return std::nullopt;
  }
}
