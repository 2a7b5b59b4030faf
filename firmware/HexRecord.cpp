#include "firmware/HexRecord.h"

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
