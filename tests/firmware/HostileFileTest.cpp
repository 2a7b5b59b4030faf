// Firmware files that are odd or hostile: harmless line ends read as the
// records they carry, things that are no regular files refused at once, and
// memory that stays bounded whatever the file holds.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>

#include "firmware/HexImageFile.h"
#include "tests/firmware/HexText.h"

namespace {

std::string Records(const std::string& ending) {
  return JoinLines({DataLine(0x0000, {1, 2, 3, 4}), DataLine(0x0004, {5, 6, 7, 8}), kEndLine}, ending);
}

TEST(HostileFiles, HarmlessLineEndsReadAsTheRecordsTheyCarry) {
  struct Case {
    const char* name;
    std::string text;
    std::uint32_t lines;
  };
  const Case cases[] = {
      {"LF", Records("\n"), 3},
      {"a byte-order mark at the start", "\xEF\xBB\xBF" + Records("\r\n"), 3},
      {"spaces and tabs after the records", JoinLines({DataLine(0, {1, 2, 3, 4}) + " \t", DataLine(4, {5, 6, 7, 8}) + "  ",
                                                      kEndLine + "\t"}, "\r\n"), 3},
      {"a last line without its line break", Records("\n").substr(0, Records("\n").size() - 1), 3},
      {"every line ending in a lone CR", Records("\r"), 3},
      {"a CR as the file's last byte", Records("\n").substr(0, Records("\n").size() - 1) + "\r", 3},
      {"blank lines after the last record", Records("\n") + "\n \n", 5},
  };
  TempFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HexImageFile file;
    ASSERT_EQ(file.Open(folder.Write("odd.hex", c.text)), HexOpenResult::Opened) << file.Refusal().Describe();
    EXPECT_EQ(file.LineCount(), c.lines);
    file.Rewind();
    EXPECT_EQ(file.ReadRecord(), (std::vector<std::uint8_t>{4, 0, 0, 0, 1, 2, 3, 4, 0xF2}));
    EXPECT_EQ(file.ReadRecord().size(), 9u);
    EXPECT_EQ(file.ReadRecord(), (std::vector<std::uint8_t>{0, 0, 0, 1, 0xFF}));
    EXPECT_TRUE(file.ReadRecord().empty());
  }
}

TEST(HostileFiles, StrayCarriageReturnsAreNamed) {
  TempFolder folder;
  HexImageFile file;
  // LF files with a lone CR in the middle of a line.
  const std::string text = DataLine(0, {1, 2, 3, 4}) + "\n" + DataLine(4, {5, 6, 7, 8}) + "\r\r\n" + kEndLine + "\n";
  ASSERT_EQ(file.Open(folder.Write("cr.hex", text)), HexOpenResult::Refused);
  EXPECT_EQ(file.Refusal().Describe(), "line 2: a carriage return in the middle of the line");
}

TEST(HostileFiles, WhatIsNotARegularFileIsRefusedAtOnce) {
  TempFolder folder;
  const std::string fifo = folder.Path() + "/fifo.hex";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  // A sparse file far beyond the limit: refused from its size, not read.
  const std::string huge = folder.Path() + "/huge.hex";
  { std::ofstream(huge).flush(); }
  ASSERT_EQ(::truncate(huge.c_str(), 8LL * 1024 * 1024 * 1024), 0);
  struct Case {
    std::string path;
    std::string reason;
  };
  const Case cases[] = {
      {fifo, fifo + " is not a regular file"},
      {"/dev/zero", "/dev/zero is not a regular file"},
      {folder.Path(), folder.Path() + " is not a regular file"},
      {huge, huge + " is larger than 67108864 bytes"},
  };
  for (const Case& c : cases) {
    const auto start = std::chrono::steady_clock::now();
    HexImageFile file;
    EXPECT_EQ(file.Open(c.path), HexOpenResult::Failed) << c.path;
    EXPECT_EQ(file.Refusal().Describe(), c.reason);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1)) << c.path;
  }
}

// Peak resident memory, in MiB, that opening the file adds in a child process.
double PeakOpenMiB(const std::string& path) {
  int pipeEnds[2];
  if (::pipe(pipeEnds) != 0) return -1;
  const pid_t child = ::fork();
  if (child == 0) {
    rusage before{};
    ::getrusage(RUSAGE_SELF, &before);
    HexImageFile file;
    file.Open(path);
    if (file.IsOpen()) file.ImageCheckValue();
    rusage after{};
    ::getrusage(RUSAGE_SELF, &after);
    const double added = static_cast<double>(after.ru_maxrss - before.ru_maxrss) / 1024.0;
    [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], &added, sizeof added);
    ::_exit(0);
  }
  ::close(pipeEnds[1]);
  double added = -1;
  [[maybe_unused]] const ssize_t got = ::read(pipeEnds[0], &added, sizeof added);
  ::close(pipeEnds[0]);
  ::waitpid(child, nullptr, 0);
  return added;
}

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kMeasuresMemory = false;  // the sanitizers' own memory would be measured
#else
constexpr bool kMeasuresMemory = true;
#endif

TEST(HostileFiles, MemoryStaysWithinTwiceTheFileAndTheImage) {
  if (!kMeasuresMemory) GTEST_SKIP() << "not measured under a sanitizer";
  TempFolder folder;
  constexpr double kImageMiB = 5.0;
  // 60 MiB of line feeds, and a valid file of 5 MiB of image data.
  const std::string feeds = folder.Write("feeds.hex", std::string(60u << 20, '\n'));
  std::string dense;
  dense.reserve(15u << 20);
  for (std::uint32_t segment = 0; segment < 0x50; ++segment) {
    dense += LinearLine(static_cast<std::uint16_t>(segment)) + "\n";
    for (std::uint32_t address = 0; address < 0x10000; address += 16) {
      std::vector<std::uint8_t> data(16);
      for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(address + i + segment);
      dense += DataLine(static_cast<std::uint16_t>(address), data) + "\n";
    }
  }
  dense += kEndLine + "\n";
  const std::string image = folder.Write("image.hex", dense);
  for (const std::string& path : {feeds, image}) {
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    const double fileMiB = static_cast<double>(info.st_size) / (1 << 20);
    const double peak = PeakOpenMiB(path);
    EXPECT_GE(peak, 0) << path;
    EXPECT_LE(peak, 2 * fileMiB + kImageMiB) << path << ": " << fileMiB << " MiB of file";
  }
  HexImageFile file;
  EXPECT_EQ(file.Open(feeds), HexOpenResult::Refused);
  EXPECT_EQ(file.Refusal().Describe(), "the file has no end-of-file record");
  ASSERT_EQ(file.Open(image), HexOpenResult::Opened) << file.Refusal().Describe();
  file.ImageCheckValue();
  EXPECT_EQ(file.LastRange().start, 0u);
  EXPECT_EQ(file.LastRange().end, 0x500000u);
}

}  // namespace
