#include "sim/FlashMemory.h"

#include <algorithm>
#include <cstdio>

#include "sim/BootFrame.h"

namespace {
constexpr std::uint32_t kImageSize = 0x500000;
constexpr std::uint32_t kFirstExcluded = 0x7FC000;
constexpr std::size_t kRecordOverhead = 5;  // count, address (2), type, checksum

constexpr std::uint8_t kData = 0x00;
constexpr std::uint8_t kSegmentAddress = 0x02;
constexpr std::uint8_t kLinearAddress = 0x04;

struct Range {
  std::uint32_t start;
  std::uint32_t end;
};
}  // namespace

const char* VerdictText(RecordsVerdict verdict) {
  switch (verdict) {
    case RecordsVerdict::kAccepted:
      return "accepted";
    case RecordsVerdict::kNoRecords:
      return "no records";
    case RecordsVerdict::kTooMany:
      return "too many records";
    case RecordsVerdict::kTruncated:
      return "truncated record";
    case RecordsVerdict::kBadChecksum:
      return "bad record checksum";
  }
  return "?";
}

void FlashMemory::Erase() {
  written_.clear();
  timesWritten_.clear();
  recordsReceived_ = 0;
  segmentBase_ = 0;
  linearBase_ = 0;
}

RecordsVerdict FlashMemory::Program(const std::uint8_t* records, std::size_t n, std::size_t& recordCount) {
  recordCount = 0;
  std::vector<std::size_t> starts;
  for (std::size_t at = 0; at < n;) {
    const std::size_t length = kRecordOverhead + records[at];
    if (n - at < length) return RecordsVerdict::kTruncated;
    std::uint8_t sum = 0;
    for (std::size_t i = 0; i < length; ++i) sum = static_cast<std::uint8_t>(sum + records[at + i]);
    if (sum != 0) return RecordsVerdict::kBadChecksum;
    starts.push_back(at);
    at += length;
  }
  if (starts.empty()) return RecordsVerdict::kNoRecords;
  if (starts.size() > kMostRecordsPerRequest) return RecordsVerdict::kTooMany;

  for (const std::size_t at : starts) {
    const std::uint8_t* record = records + at;
    const std::uint8_t count = record[0];
    const std::uint32_t offset = static_cast<std::uint32_t>(record[1] << 8 | record[2]);
    const std::uint8_t type = record[3];
    const std::uint8_t* data = record + 4;
    ++recordsReceived_;
    if (type == kData) {
      const std::uint32_t address = offset + linearBase_ + segmentBase_;
      written_.push_back({address, std::vector<std::uint8_t>(data, data + count)});
      ++timesWritten_[address];
    } else if (type == kSegmentAddress && count >= 2) {
      segmentBase_ = static_cast<std::uint32_t>(data[0] << 8 | data[1]) * 16;
      linearBase_ = 0;
    } else if (type == kLinearAddress && count >= 2) {
      linearBase_ = static_cast<std::uint32_t>(data[0] << 8 | data[1]) << 16;
      segmentBase_ = 0;
    } else {
      segmentBase_ = 0;
      linearBase_ = 0;
    }
  }
  recordCount = starts.size();
  return RecordsVerdict::kAccepted;
}

std::uint16_t FlashMemory::ImageCheckValue() const {
  std::vector<std::uint8_t> image(kImageSize);
  for (std::uint32_t i = 0; i < kImageSize; ++i) image[i] = (i % 4 == 3) ? 0x00 : 0xFF;
  std::uint32_t lowest = 0xFFFFFFFF;
  std::uint32_t highestEnd = 0;
  for (const DataRecord& record : written_) {
    if (record.address >= kFirstExcluded) continue;
    const std::uint32_t end = record.address + static_cast<std::uint32_t>(record.data.size());
    lowest = std::min(lowest, record.address);
    highestEnd = std::max(highestEnd, end);
    for (std::size_t i = 0; i < record.data.size() && record.address + i < kImageSize; ++i) {
      image[record.address + i] = record.data[i];
    }
  }
  // An empty flash, or a range wholly outside the image, checks as nothing.
  if (lowest == 0xFFFFFFFF) return SensorCheckValue(nullptr, 0);
  const std::uint32_t start = lowest & ~3u;
  const std::uint32_t end = std::min<std::uint32_t>((highestEnd + 3) & ~3u, kImageSize);
  if (start >= end) return SensorCheckValue(nullptr, 0);
  return SensorCheckValue(image.data() + start, end - start);
}

std::string FlashMemory::Describe() const {
  std::string text;
  char line[96];
  long dataRecords = 0;
  for (const auto& entry : timesWritten_) dataRecords += entry.second;
  std::snprintf(line, sizeof line, "records %ld\ndata-records %ld\ncheck %04x\n", recordsReceived_, dataRecords,
                ImageCheckValue());
  text += line;
  std::map<std::uint32_t, std::size_t> lengths;
  for (const DataRecord& record : written_) lengths[record.address] = record.data.size();
  for (const auto& [address, times] : timesWritten_) {
    std::snprintf(line, sizeof line, "data %08x %zu %d\n", address, lengths[address], times);
    text += line;
  }
  return text;
}
