// Reading firmware files: records, the memory image and its check value,
// the files that are refused, and real-world files.
#include <gtest/gtest.h>

#include <map>

#include "firmware/HexImageFile.h"
#include "link/Channel.h"
#include "tests/firmware/HexText.h"

namespace {
std::vector<std::uint8_t> Ramp(std::uint8_t first, std::size_t n) {
  std::vector<std::uint8_t> data(n);
  for (std::size_t i = 0; i < n; ++i) data[i] = static_cast<std::uint8_t>(first + i);
  return data;
}

// The check value of the erased pattern over [start, end) with `written`
// bytes in place, built here independently of the reader.
std::uint16_t ExpectedCheck(std::uint32_t start, std::uint32_t end, const std::map<std::uint32_t, std::uint8_t>& written) {
  std::vector<std::uint8_t> bytes;
  for (std::uint32_t a = start; a < end; ++a) {
    const auto it = written.find(a);
    bytes.push_back(it != written.end() ? it->second : (a % 4 == 3 ? 0x00 : 0xFF));
  }
  return CheckValue(bytes.data(), bytes.size());
}

std::map<std::uint32_t, std::uint8_t> At(std::uint32_t address, const std::vector<std::uint8_t>& data) {
  std::map<std::uint32_t, std::uint8_t> bytes;
  for (std::size_t i = 0; i < data.size(); ++i) bytes[address + static_cast<std::uint32_t>(i)] = data[i];
  return bytes;
}
}  // namespace

TEST(HexImageFile, CrLfFileReadsExactlyLikeItsLfTwin) {
  const std::vector<std::string> lines = {LinearLine(0), DataLine(0x0100, Ramp(0x10, 16)), DataLine(0x0110, Ramp(0x0D, 5)),
                                          HexLine(5, 0, {0, 0, 1, 0}), kEndLine};
  TempFolder folder;
  HexImageFile lf, crlf;
  ASSERT_EQ(lf.Open(folder.Write("lf.hex", JoinLines(lines, "\n"))), HexOpenResult::Opened);
  ASSERT_EQ(crlf.Open(folder.Write("crlf.hex", JoinLines(lines, "\r\n"))), HexOpenResult::Opened);
  EXPECT_EQ(lf.LineCount(), 5u);
  EXPECT_EQ(crlf.LineCount(), 5u);
  ASSERT_TRUE(lf.Rewind());
  ASSERT_TRUE(crlf.Rewind());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::vector<std::uint8_t> record = lf.ReadRecord();
    EXPECT_EQ(record.size(), (lines[i].size() - 1) / 2) << "line " << i + 1;
    EXPECT_EQ(crlf.ReadRecord(), record) << "line " << i + 1;
  }
  EXPECT_TRUE(lf.ReadRecord().empty());
  EXPECT_TRUE(crlf.ReadRecord().empty());
  EXPECT_EQ(crlf.ImageCheckValue(), lf.ImageCheckValue());
}

TEST(HexImageFile, LineCountAndRecordReading) {
  TempFolder folder;
  HexImageFile file;
  // A last line without a line break is a line; blank lines after the last
  // record are accepted and read as the absence of a record.
  ASSERT_EQ(file.Open(folder.Write("a.hex", DataLine(0, {1, 2}) + "\n" + kEndLine + "\n  \n\r\n" + "\n \r")),
            HexOpenResult::Opened);
  EXPECT_EQ(file.LineCount(), 6u);
  // Opening reads to the end: records come only after a rewind.
  EXPECT_TRUE(file.ReadRecord().empty());
  ASSERT_TRUE(file.Rewind());
  EXPECT_EQ(file.ReadRecord(), (std::vector<std::uint8_t>{0x02, 0x00, 0x00, 0x00, 0x01, 0x02, 0xFB}));
  EXPECT_EQ(file.ReadRecord(), (std::vector<std::uint8_t>{0x00, 0x00, 0x00, 0x01, 0xFF}));
  EXPECT_TRUE(file.ReadRecord().empty());
  file.Close();
  EXPECT_FALSE(file.IsOpen());
  EXPECT_FALSE(file.Rewind());
  file.Close();  // closing a closed file does nothing
}

TEST(HexImageFile, MemoryImageRules) {
  struct Case {
    const char* name;
    std::vector<std::string> lines;
    std::uint32_t start, end;
    std::map<std::uint32_t, std::uint8_t> written;
  };
  const std::vector<std::uint8_t> four = {0xDE, 0xAD, 0xBE, 0xEF};
  const Case cases[] = {
      {"range rounded outwards to multiples of 4, pattern bytes included",
       {DataLine(0x0001, Ramp(0xA0, 6)), kEndLine}, 0, 8, At(1, Ramp(0xA0, 6))},
      {"linear base", {LinearLine(0x0001), DataLine(0x0010, four), kEndLine}, 0x10010, 0x10014, At(0x10010, four)},
      {"segment base", {SegmentLine(0x1000), DataLine(0x0010, four), kEndLine}, 0x10010, 0x10014, At(0x10010, four)},
      {"linear base replaces the segment base",
       {SegmentLine(0x1000), LinearLine(0x0002), DataLine(0x0000, four), kEndLine}, 0x20000, 0x20004, At(0x20000, four)},
      {"start address record resets the bases",
       {LinearLine(0x0001), HexLine(5, 0, {0, 0, 0, 0}), DataLine(0x0004, four), kEndLine}, 4, 8, At(4, four)},
      {"data at and above the cut-off stays out of the image and the range",
       {DataLine(0x0000, four), LinearLine(0x007F), DataLine(0xC000, Ramp(1, 16)), LinearLine(0x0100),
        DataLine(0x0000, Ramp(1, 16)), kEndLine},
       0, 4, At(0, four)},
      {"a mid-file end-of-file record resets the bases and later data still counts",
       {LinearLine(0x0001), DataLine(0x0010, four), kEndLine, DataLine(0x0020, four), kEndLine}, 0x20, 0x10014,
       [&] {
         auto bytes = At(0x10010, four);
         bytes.merge(At(0x20, four));
         return bytes;
       }()},
      {"data up to the last image byte", {LinearLine(0x004F), DataLine(0xFFFC, four), kEndLine}, 0x4FFFFC, 0x500000,
       At(0x4FFFFC, four)},
      {"a later record that repeats bytes an earlier one wrote",
       {DataLine(0x0000, four), DataLine(0x0002, {0xBE, 0xEF}), kEndLine}, 0, 4, At(0, four)},
      {"records that overlap at and above the cut-off are left as they are",
       {DataLine(0x0000, four), LinearLine(0x007F), DataLine(0xC000, {1}), DataLine(0xC000, {2}), kEndLine}, 0, 4,
       At(0, four)},
  };
  TempFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HexImageFile file;
    ASSERT_EQ(file.Open(folder.Write("image.hex", JoinLines(c.lines))), HexOpenResult::Opened)
        << file.Refusal().Describe();
    const std::uint16_t check = file.ImageCheckValue();
    EXPECT_EQ(file.LastRange().start, c.start);
    EXPECT_EQ(file.LastRange().end, c.end);
    EXPECT_EQ(check, ExpectedCheck(c.start, c.end, c.written));
    EXPECT_TRUE(file.ReadRecord().empty()) << "the position is at the end afterwards";
  }
}

TEST(HexImageFile, CheckValuesWorkedIndependently) {
  // CRC-16/XMODEM computed outside this code base: "12345678" gives 0x9015;
  // 01 FF FF 00 gives 0xBA28; 01 10 21 00 gives 0 (01 followed by its own
  // check value 0x1021, then the pattern's 00).
  struct Case {
    std::vector<std::uint8_t> data;
    std::uint16_t check;
  } const cases[] = {{Ramp('1', 8), 0x9015}, {{0x01}, 0xBA28}, {{0x01, 0x10, 0x21}, 0x0000}};
  TempFolder folder;
  for (const Case& c : cases) {
    HexImageFile file;
    ASSERT_EQ(file.Open(folder.Write("w.hex", JoinLines({DataLine(0, c.data), kEndLine}))), HexOpenResult::Opened);
    EXPECT_EQ(file.ImageCheckValue(), c.check) << c.data.size() << " data bytes";
  }
}

TEST(HexImageFile, RefusesFilesThatAreNotUsableFirmware) {
  struct Case {
    const char* name;
    std::string text;
    int line;
    const char* reason;  // part of the reason given
  };
  const std::string data = DataLine(0, {1, 2, 3, 4});
  std::string badSum = data;
  badSum.back() = badSum.back() == '0' ? '1' : '0';
  const Case cases[] = {
      {"empty file", "", 0, "no end-of-file record"},
      {"no end-of-file record", data + "\n", 0, "no end-of-file record"},
      {"line without a colon", data + "\nxyz\n" + kEndLine + "\n", 2, "colon"},
      {"colon only", ":\n" + kEndLine + "\n", 1, "too short"},
      {"too short", ":00000001\n" + kEndLine + "\n", 1, "too short"},
      {"leading space", " " + data + "\n" + kEndLine + "\n", 1, "colon"},
      {"not a hexadecimal digit", ":0400000001G2030400\n" + kEndLine + "\n", 1,
       "the record holds a character that is not a hexadecimal digit"},
      {"a space inside the record", ":04000000 01020304F2\n" + kEndLine + "\n", 1, "a space or tab in the middle"},
      {"a carriage return inside the record", ":0400000001\r020304F2\n" + kEndLine + "\n", 1,
       "a carriage return in the middle of the line"},
      {"two records on one line", data + kEndLine + "\n", 1, "a second colon"},
      {"a NUL byte", data + std::string("\0", 1) + "\n" + kEndLine + "\n", 1, "NUL"},
      {"two records that disagree about a byte",
       JoinLines({DataLine(0x0010, {1, 2, 3, 4}), DataLine(0x0012, {3, 9}), kEndLine}), 2,
       "the record puts other data at 0x13 than an earlier record"},
      {"odd number of digits", data + "0\n" + kEndLine + "\n", 1, "odd"},
      {"byte count too large", ":0500000001020304F1\n" + kEndLine + "\n", 1, "byte count"},
      {"record checksum wrong", badSum + "\n" + kEndLine + "\n", 1, "checksum"},
      {"unknown record type", data + "\n" + HexLine(6, 0, {}) + "\n" + kEndLine + "\n", 2, "type 6"},
      {"end-of-file record with data", data + "\n" + HexLine(1, 0, {0}) + "\n", 2, "type 01"},
      {"extended linear address of 4 bytes", HexLine(4, 0, {0, 0, 0, 1}) + "\n" + data + "\n" + kEndLine, 1, "type 04"},
      {"extended segment address of 1 byte", HexLine(2, 0, {0}) + "\n" + data + "\n" + kEndLine, 1, "type 02"},
      {"start address of 2 bytes", data + "\n" + HexLine(3, 0, {0, 0}) + "\n" + kEndLine, 2, "type 03"},
      {"blank line before the last record", data + "\n\n" + kEndLine + "\n", 2, "blank line"},
      {"line of spaces before the last record", data + "\n  \r\n" + kEndLine + "\n", 2, "blank line"},
      {"data past the image", JoinLines({LinearLine(0x0050), data, kEndLine}), 2, "past the end of the image"},
      {"data running past the image",
       JoinLines({LinearLine(0x004F), DataLine(0xFFFE, {1, 2, 3, 4}), kEndLine}), 2, "0x4FFFFE"},
      {"no data below the cut-off", JoinLines({LinearLine(0x0080), data, kEndLine}), 0, "no data lies below 0x7FC000"},
      {"only empty data records", JoinLines({DataLine(0, {}), kEndLine}), 0, "no data lies below"},
  };
  TempFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HexImageFile file;
    EXPECT_EQ(file.Open(folder.Write("bad.hex", c.text)), HexOpenResult::Refused);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(file.Refusal().line, c.line);
    EXPECT_NE(file.Refusal().reason.find(c.reason), std::string::npos) << file.Refusal().reason;
  }
}

TEST(HexImageFile, OpenTellsCancelledAndUnreadableApart) {
  HexImageFile file;
  EXPECT_EQ(file.Open(std::string("/nonexistent/firmware.hex")), HexOpenResult::Failed);
  EXPECT_NE(file.Refusal().Describe().find("/nonexistent/firmware.hex"), std::string::npos);
  TempFolder folder;
  EXPECT_EQ(file.Open(folder.Path()), HexOpenResult::Failed) << "a folder is not a file";
}

TEST(HexImageFile, RealWorldFiles) {
  // Line counts and address spans as listed with the samples; the image
  // range is the span below the cut-off, rounded outwards to multiples of 4.
  struct Case {
    const char* name;
    bool accepted;
    std::uint32_t lines, start, end;
  } const cases[] = {
      {"pic24fj256gb106-buspirate-v4-bootloader.hex", true, 683, 0, 0x55800},
      {"dspic33fj128gp204-webplatform-ds33intro.hex", true, 137, 0, 0x724},
      {"pic24hj-pic24lib-echo-app.hex", true, 1103, 0, 0x564C},
      {"avr-atmega32u4-caterina-leonardoethernet-bootloader.hex", true, 250, 0x7000, 0x7F68},
      {"arm-stm32f042-daytripper-rx-keil.hex", false, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HexImageFile file;
    const HexOpenResult result = file.Open(SamplePath(c.name));
    if (!c.accepted) {
      EXPECT_EQ(result, HexOpenResult::Refused);
      EXPECT_NE(file.Refusal().reason.find("no data lies below"), std::string::npos) << file.Refusal().Describe();
      continue;
    }
    ASSERT_EQ(result, HexOpenResult::Opened) << file.Refusal().Describe();
    EXPECT_EQ(file.LineCount(), c.lines);
    file.ImageCheckValue();
    EXPECT_EQ(file.LastRange().start, c.start);
    EXPECT_EQ(file.LastRange().end, c.end);
  }
}

TEST(HexImageFile, LargeDenseImageInUpperCaseDigits) {
  TempFolder folder;
  const std::string text = DenseFirmwareText();
  ASSERT_EQ(text.find_first_of("abcdef"), std::string::npos) << "the image is written in upper-case digits";
  ASSERT_NE(text.find_first_of("ABCDEF"), std::string::npos);
  HexImageFile file;
  ASSERT_EQ(file.Open(folder.Write("dense.hex", text)), HexOpenResult::Opened) << file.Refusal().Describe();
  EXPECT_EQ(file.LineCount(), kDenseFirmwareLines);
  EXPECT_EQ(file.ImageCheckValue(), kDenseFirmwareCheck);
  EXPECT_EQ(file.LastRange().start, 0u);
  EXPECT_EQ(file.LastRange().end, kDenseFirmwareBytes);
}
