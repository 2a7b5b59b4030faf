#include "firmware/HexFileCheck.h"

#include <cctype>
#include <cstdio>
#include <cstdint>

#include "firmware/HexRecord.h"

namespace {
// Blank: nothing left once CRs and spaces are taken out.
bool IsBlank(const std::string& line) {
  for (const char c : line) {
    if (c != '\r' && c != ' ') return false;
  }
  return true;
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

// The reason a line is not a well-formed record, or "" when it is one.
std::string RecordFault(const std::string& line) {
  if (line[0] != ':') return "the line does not begin with a colon";
  for (std::size_t i = 1; i < line.size(); ++i) {
    if (!std::isxdigit(static_cast<unsigned char>(line[i]))) {
      return "character " + std::to_string(i + 1) + " is not a hexadecimal digit";
    }
  }
  const std::size_t digits = line.size() - 1;
  if (digits % 2 != 0) return "the record has an odd number of digits";
  if (digits / 2 < kRecordOverhead) return "the record is too short";
  const std::vector<std::uint8_t> record = DecodeRecord(std::string_view(line).substr(1));
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
}  // namespace

std::string HexRefusal::Describe() const {
  if (line <= 0) return reason;
  return "line " + std::to_string(line) + ": " + reason;
}

std::vector<std::string> SplitHexLines(const std::string& contents) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < contents.size()) {
    std::size_t end = contents.find('\n', start);
    const bool broken = end != std::string::npos;
    if (!broken) end = contents.size();
    std::size_t length = end - start;
    if (broken && length > 0 && contents[end - 1] == '\r') --length;
    lines.push_back(contents.substr(start, length));
    start = broken ? end + 1 : end;
  }
  return lines;
}

std::optional<HexRefusal> CheckHexLines(const std::vector<std::string>& lines) {
  RecordAddressing addressing;
  int firstBlank = 0;
  bool endOfFile = false;
  bool dataBelowCutOff = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const int number = static_cast<int>(i) + 1;
    const std::string& line = lines[i];
    if (IsBlank(line)) {
      if (firstBlank == 0) firstBlank = number;
      continue;
    }
    // A blank line would end the image there while the write command went
    // on past it: the sensor would be programmed with more than is verified.
    if (firstBlank != 0) return HexRefusal{firstBlank, "a blank line comes before the last record"};
    const std::string fault = RecordFault(line);
    if (!fault.empty()) return HexRefusal{number, fault};
    const std::vector<std::uint8_t> record = DecodeRecord(std::string_view(line).substr(1));
    if (record[3] == kEndOfFileRecord) endOfFile = true;
    const std::optional<std::uint32_t> address = addressing.Follow(record);
    if (!address || *address >= kImageCutOff) continue;
    const std::uint32_t count = record[0];
    if (*address + count > kImageSize) {
      return HexRefusal{number, "data at " + Hex(*address) + " lies past the end of the image (" +
                                    Hex(kImageSize - 1) + ")"};
    }
    if (count > 0) dataBelowCutOff = true;
  }
  if (!endOfFile) return HexRefusal{0, "the file has no end-of-file record"};
  if (!dataBelowCutOff) return HexRefusal{0, "no data lies below " + Hex(kImageCutOff)};
  return std::nullopt;
}
