#pragma once
// The check a firmware file passes before anything is sent to the sensor,
// made while its records are decoded in one pass. A file is refused when a
// line is not a well-formed record, when the records would not make a
// usable image (data past the image, two records that put different bytes
// at the same address), or when its end is missing.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Why a file was refused: the line (from 1; 0 when it concerns the whole
// file) and the reason in words, for the command-line tool and the debug log.
struct HexRefusal {
  int line = 0;
  std::string reason;
  std::string Describe() const;
};

// The records of an accepted file, decoded (byte count, address, type, data,
// checksum each), one after another in one buffer; blank lines after the
// last record are counted as lines but hold no record.
class HexRecords {
 public:
  std::size_t Count() const { return ends_.size(); }
  std::span<const std::uint8_t> Record(std::size_t i) const;
  std::uint32_t LineCount() const { return lineCount_; }

  // Room for the records of a file, decided once, so that growing never
  // holds two copies.
  void Reserve(std::size_t bytes, std::size_t records);
  void Add(const std::uint8_t* bytes, std::size_t n);
  void CountLine() { ++lineCount_; }
  void Clear();

 private:
  std::vector<std::uint8_t> bytes_;
  std::vector<std::uint32_t> ends_;
  std::uint32_t lineCount_ = 0;
};

// Checks the contents of a firmware file and decodes its records into
// `records`; no value when the file is acceptable. The lines are read as
// TextLines reads them (LF or CR LF, lone-CR files, a byte-order mark);
// spaces and tabs after a record are allowed.
std::optional<HexRefusal> ReadHexText(std::string_view contents, HexRecords& records);
