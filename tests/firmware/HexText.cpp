#include "tests/firmware/HexText.h"

#include <cstdio>
#include <fstream>

std::string HexLine(std::uint8_t type, std::uint16_t address, const std::vector<std::uint8_t>& data) {
  std::vector<std::uint8_t> bytes = {static_cast<std::uint8_t>(data.size()), static_cast<std::uint8_t>(address >> 8),
                                     static_cast<std::uint8_t>(address & 0xFF), type};
  bytes.insert(bytes.end(), data.begin(), data.end());
  std::uint8_t sum = 0;
  for (const std::uint8_t b : bytes) sum = static_cast<std::uint8_t>(sum + b);
  bytes.push_back(static_cast<std::uint8_t>(-sum));
  std::string line = ":";
  char pair[3];
  for (const std::uint8_t b : bytes) {
    std::snprintf(pair, sizeof pair, "%02X", b);
    line += pair;
  }
  return line;
}

std::string DataLine(std::uint16_t address, const std::vector<std::uint8_t>& data) { return HexLine(0, address, data); }

std::string LinearLine(std::uint16_t upper) {
  return HexLine(4, 0, {static_cast<std::uint8_t>(upper >> 8), static_cast<std::uint8_t>(upper & 0xFF)});
}

std::string SegmentLine(std::uint16_t segment) {
  return HexLine(2, 0, {static_cast<std::uint8_t>(segment >> 8), static_cast<std::uint8_t>(segment & 0xFF)});
}

std::string JoinLines(const std::vector<std::string>& lines, const std::string& ending) {
  std::string text;
  for (const std::string& line : lines) text += line + ending;
  return text;
}

std::string FirmwareText(int dataRecords) {
  std::vector<std::string> lines;
  for (int r = 0; r < dataRecords; ++r) {
    std::vector<std::uint8_t> data(16);
    for (int i = 0; i < 16; ++i) data[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(r * 7 + i);
    lines.push_back(DataLine(static_cast<std::uint16_t>(r * 16), data));
  }
  lines.push_back(kEndLine);
  return JoinLines(lines);
}

std::string DenseFirmwareText() {
  std::vector<std::string> lines = {LinearLine(0x0000)};
  std::uint32_t seed = 0x2545F491;
  for (std::uint32_t r = 0; r <= 5000; ++r) {
    const std::uint32_t address = r * 16;
    if (address == 0x10000) lines.push_back(LinearLine(0x0001));
    std::vector<std::uint8_t> data(r == 5000 ? 8 : 16);
    for (std::size_t i = 0; i < data.size(); ++i) {
      seed = seed * 1664525u + 1013904223u;
      const bool unused = r >= 3000 && r < 3800;
      data[i] = i % 4 == 3 ? 0x00 : unused ? 0xFF : static_cast<std::uint8_t>(seed >> 24);
    }
    lines.push_back(DataLine(static_cast<std::uint16_t>(address & 0xFFFF), data));
  }
  lines.push_back(kEndLine);
  return JoinLines(lines, "\r\n");
}

std::string SamplePath(const std::string& name) { return std::string(OD_TESTDATA_DIR) + "/" + name; }
