#include "firmware/HexImageFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "firmware/HexRecord.h"
#include "link/Channel.h"

namespace {
// A firmware file for an image of 5 MiB is a few times that size as text;
// anything far larger is not a firmware file.
constexpr long kLargestFile = 64L * 1024 * 1024;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// The whole file, or a refusal saying why it could not be read.
bool ReadWhole(const std::string& path, std::string& contents, HexRefusal& refusal) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    refusal = {0, "cannot open " + path + ": " + std::strerror(errno)};
    return false;
  }
  char chunk[65536];
  std::size_t n = 0;
  while ((n = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) {
    if (contents.size() + n > static_cast<std::size_t>(kLargestFile)) {
      refusal = {0, "the file is larger than " + std::to_string(kLargestFile) + " bytes"};
      return false;
    }
    contents.append(chunk, n);
  }
  if (std::ferror(file.get())) {
    refusal = {0, "cannot read " + path + ": " + std::strerror(errno)};
    return false;
  }
  return true;
}
}  // namespace

HexOpenResult HexImageFile::Open(UserInterface& user) {
  const std::optional<std::string> path = user.ChooseOpenFile(kFilter);
  if (!path) {
    Close();
    refusal_ = {};
    return HexOpenResult::Cancelled;
  }
  return Open(*path);
}

HexOpenResult HexImageFile::Open(const std::string& path) {
  Close();
  refusal_ = {};
  std::string contents;
  if (!ReadWhole(path, contents, refusal_)) return HexOpenResult::Failed;
  std::vector<std::string> lines = SplitHexLines(contents);
  if (const std::optional<HexRefusal> refusal = CheckHexLines(lines)) {
    refusal_ = *refusal;
    return HexOpenResult::Refused;
  }
  lines_ = std::move(lines);
  // Counting the lines has read the file to its end.
  next_ = lines_.size();
  open_ = true;
  return HexOpenResult::Opened;
}

void HexImageFile::Close() {
  lines_.clear();
  next_ = 0;
  open_ = false;
}

bool HexImageFile::Rewind() {
  if (!open_) return false;
  next_ = 0;
  return true;
}

std::vector<std::uint8_t> HexImageFile::ReadRecord() {
  if (!open_ || next_ >= lines_.size()) return {};
  const std::string& line = lines_[next_++];
  if (line.empty() || line[0] != ':') return {};
  return DecodeRecord(std::string_view(line).substr(1));
}

std::uint16_t HexImageFile::ImageCheckValue() {
  std::vector<std::uint8_t> image(kImageSize);
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = (i % 4 == 3) ? 0x00 : 0xFF;

  std::uint32_t highestEnd = 0;
  std::uint32_t lowestAddress = 0xFFFFFFFF;
  RecordAddressing addressing;
  Rewind();
  for (std::vector<std::uint8_t> record = ReadRecord(); !record.empty(); record = ReadRecord()) {
    const std::optional<std::uint32_t> address = addressing.Follow(record);
    if (!address || *address >= kImageCutOff) continue;
    const std::size_t count = std::min<std::size_t>(record[0], record.size() - std::min(record.size(), kRecordDataStart));
    highestEnd = std::max<std::uint32_t>(highestEnd, *address + static_cast<std::uint32_t>(count));
    lowestAddress = std::min(lowestAddress, *address);
    // Opening refuses data past the image; this keeps the image safe anyway.
    if (*address < kImageSize) {
      const std::size_t room = std::min<std::size_t>(count, kImageSize - *address);
      std::copy_n(record.begin() + kRecordDataStart, room, image.begin() + *address);
    }
  }
  next_ = lines_.size();

  if (lowestAddress > highestEnd) {
    lastRange_ = {};
    return CheckValue(nullptr, 0);
  }
  const std::uint32_t start = lowestAddress / 4 * 4;
  const std::uint32_t end = std::min<std::uint32_t>((highestEnd + 3) / 4 * 4, kImageSize);
  lastRange_ = {start, end};
  return CheckValue(image.data() + start, end - start);
}
