#pragma once
// The sensor's application flash as its bootloader programs it from Intel HEX
// records, and the check value it verifies an image against: a 0x500000-byte
// image filled with FF FF FF 00, the programmed data below 0x7FC000 laid over
// it, and the CRC over the programmed range widened to whole 4-byte words.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

enum class RecordsVerdict { kAccepted, kNoRecords, kTooMany, kTruncated, kBadChecksum };

class FlashMemory {
 public:
  static constexpr std::size_t kMostRecordsPerRequest = 10;

  // Clears the flash, the extended address bases and the record counts.
  void Erase();

  // Checks every record of `records` (count, address high, address low,
  // type, data, checksum, back to back) and, only if all are sound, applies
  // them in order: data records are stored, extended segment (02) and linear
  // (04) address records set the base, any other type resets both bases.
  RecordsVerdict Program(const std::uint8_t* records, std::size_t n, std::size_t& recordCount);

  std::uint16_t ImageCheckValue() const;

  // Record counts and the check value as text, for --dump-flash.
  std::string Describe() const;

 private:
  struct DataRecord {
    std::uint32_t address;
    std::vector<std::uint8_t> data;
  };
  std::vector<DataRecord> written_;
  std::map<std::uint32_t, int> timesWritten_;  // data records per address
  long recordsReceived_ = 0;
  std::uint32_t segmentBase_ = 0;
  std::uint32_t linearBase_ = 0;
};

const char* VerdictText(RecordsVerdict verdict);
