#include "firmware/HexFileCheck.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "files/TextLines.h"
#include "firmware/HexRecord.h"
#include "link/HexDigits.h"

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimEnd(std::string_view line) {
  while (!line.empty() && IsSpace(line.back())) line.remove_suffix(1);
  return line;
}

// The data length each record type other than data must have.
int RequiredLength(std::uint8_t type) {
  switch (type) {
    case kEndOfFileRecord: return 0;
    case kExtendedSegmentRecord: return 2;
    case kStartSegmentRecord: return 4;
    case kExtendedLinearRecord: return 2;
    case kStartLinearRecord: return 4;
    default: return -1;
  }
}

std::string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", value);
  return text;
}

// Decodes one record line into `record`; the reason in words when the line
// is not a well-formed record, or "" when it is one.
std::string DecodeLine(std::string_view line, std::vector<std::uint8_t>& record) {
  if (line[0] != ':') return "the line does not begin with a colon";
  const std::string_view digits = line.substr(1);
  for (const char c : digits) {
    if (c == '\r') return "a carriage return in the middle of the line";
    if (c == '\0') return "the line holds a NUL byte";
    if (c == ':') return "a second colon in the line";
    if (IsSpace(c)) return "a space or tab in the middle of the record";
    if (HexDigitValue(c) < 0) return "the record holds a character that is not a hexadecimal digit";
  }
  if (digits.size() % 2 != 0) return "the record has an odd number of digits";
  if (digits.size() / 2 < kRecordOverhead) return "the record is too short";
  record.clear();
  for (std::size_t i = 0; i < digits.size(); i += 2) {
    record.push_back(static_cast<std::uint8_t>(HexDigitValue(digits[i]) << 4 | HexDigitValue(digits[i + 1])));
  }
  if (record[0] != record.size() - kRecordOverhead) {
    return "the byte count " + std::to_string(record[0]) + " does not match the " +
           std::to_string(record.size() - kRecordOverhead) + " data bytes of the line";
  }
  std::uint8_t sum = 0;
  for (const std::uint8_t b : record) sum = static_cast<std::uint8_t>(sum + b);
  if (sum != 0) return "the record checksum is wrong";
  const std::uint8_t type = record[3];
  if (type > kStartLinearRecord) return "record type " + std::to_string(type) + " is unknown";
  const int required = RequiredLength(type);
  if (required >= 0 && record[0] != required) {
    return "a record of type 0" + std::to_string(type) + " must carry " + std::to_string(required) +
           " data bytes";
  }
  return "";
}

// What the data records have put into the image so far, to find two that
// disagree about a byte.
class ImageCoverage {
 public:
  ImageCoverage() : bytes_(new std::uint8_t[kImageSize]), covered_(kImageSize / 8, 0) {}

  // The first address where `data` disagrees with an earlier record, if any;
  // the bytes are taken in either way.
  std::optional<std::uint32_t> Put(std::uint32_t address, const std::uint8_t* data, std::size_t n) {
    std::optional<std::uint32_t> conflict;
    for (std::size_t i = 0; i < n; ++i) {
      const std::uint32_t a = address + static_cast<std::uint32_t>(i);
      const std::uint8_t bit = static_cast<std::uint8_t>(1u << (a % 8));
      if ((covered_[a / 8] & bit) != 0 && bytes_[a] != data[i] && !conflict) conflict = a;
      covered_[a / 8] |= bit;
      bytes_[a] = data[i];
    }
    return conflict;
  }

 private:
  std::unique_ptr<std::uint8_t[]> bytes_;
  std::vector<std::uint8_t> covered_;
};

}  // namespace

std::string HexRefusal::Describe() const {
  if (line <= 0) return reason;
  return "line " + std::to_string(line) + ": " + reason;
}

std::span<const std::uint8_t> HexRecords::Record(std::size_t i) const {
  const std::uint32_t begin = i == 0 ? 0 : ends_[i - 1];
  return std::span<const std::uint8_t>(bytes_.data() + begin, ends_[i] - begin);
}

void HexRecords::Reserve(std::size_t bytes, std::size_t records) {
  bytes_.reserve(bytes);
  ends_.reserve(records);
}

void HexRecords::Add(const std::uint8_t* bytes, std::size_t n) {
  bytes_.insert(bytes_.end(), bytes, bytes + n);
  ends_.push_back(static_cast<std::uint32_t>(bytes_.size()));
}

void HexRecords::Clear() {
  bytes_.clear();
  bytes_.shrink_to_fit();
  ends_.clear();
  ends_.shrink_to_fit();
  lineCount_ = 0;
}

std::optional<HexRefusal> ReadHexText(std::string_view contents, HexRecords& records) {
  records.Clear();
  const auto refuse = [&records](int line, std::string reason) {
    records.Clear();
    return HexRefusal{line, std::move(reason)};
  };
  // Two digits make a byte, and a record takes a line of at least eleven
  // characters: bounds that keep the decoded records under the text's size.
  std::size_t breaks = 1;
  for (const char c : contents) breaks += (c == '\n' || c == '\r') ? 1 : 0;
  records.Reserve(contents.size() / 2, std::min(breaks, contents.size() / 11 + 1));
  TextLines lines(contents);
  RecordAddressing addressing;
  ImageCoverage coverage;
  std::vector<std::uint8_t> record;
  int firstBlank = 0;
  bool endOfFile = false;
  bool dataBelowCutOff = false;
  std::string_view text;
  while (lines.Next(text)) {
    records.CountLine();
    const int number = lines.Number();
    if (lines.StrayCarriageReturn()) return refuse(number, "a carriage return in the middle of the line");
    const std::string_view line = TrimEnd(text);
    if (line.empty()) {
      if (firstBlank == 0) firstBlank = number;
      continue;
    }
    // A blank line would end the image there while the write command went
    // on past it: the sensor would be programmed with more than is verified.
    if (firstBlank != 0) return refuse(firstBlank, "a blank line comes before the last record");
    const std::string fault = DecodeLine(line, record);
    if (!fault.empty()) return refuse(number, fault);
    records.Add(record.data(), record.size());
    if (record[3] == kEndOfFileRecord) endOfFile = true;
    const std::optional<std::uint32_t> address = addressing.Follow(record);
    if (!address || *address >= kImageCutOff) continue;
    const std::uint32_t count = record[0];
    if (*address + count > kImageSize) {
      return refuse(number, "data at " + Hex(*address) + " lies past the end of the image (" +
                                Hex(kImageSize - 1) + ")");
    }
    if (count == 0) continue;
    dataBelowCutOff = true;
    // The flash cannot hold both, and the verify value would describe only
    // the last.
    if (const auto conflict = coverage.Put(*address, record.data() + kRecordDataStart, count)) {
      return refuse(number, "the record puts other data at " + Hex(*conflict) + " than an earlier record");
    }
  }
  if (!endOfFile) return refuse(0, "the file has no end-of-file record");
  if (!dataBelowCutOff) return refuse(0, "no data lies below " + Hex(kImageCutOff));
  return std::nullopt;
}
