#include "firmware/HexImageFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "firmware/HexRecord.h"
#include "link/Channel.h"

namespace {

// The whole of a regular file, or a refusal saying why it could not be read.
// Opened without blocking, so that a FIFO or a device cannot hang the open,
// and measured before reading, so that a huge file costs nothing.
bool ReadWhole(const std::string& path, std::string& contents, HexRefusal& refusal) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    refusal = {0, "cannot open " + path + ": " + std::strerror(errno)};
    return false;
  }
  struct stat info {};
  bool ok = true;
  if (::fstat(fd, &info) != 0) {
    refusal = {0, "cannot read " + path + ": " + std::strerror(errno)};
    ok = false;
  } else if (!S_ISREG(info.st_mode)) {
    refusal = {0, path + " is not a regular file"};
    ok = false;
  } else if (static_cast<std::uint64_t>(info.st_size) > kLargestFirmwareFile) {
    refusal = {0, path + " is larger than " + std::to_string(kLargestFirmwareFile) + " bytes"};
    ok = false;
  } else {
    contents.reserve(static_cast<std::size_t>(info.st_size));
    char chunk[65536];
    for (;;) {
      const ssize_t n = ::read(fd, chunk, sizeof chunk);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        refusal = {0, "cannot read " + path + ": " + std::strerror(errno)};
        ok = false;
        break;
      }
      if (n == 0) break;
      // A file that grows while it is read is still bounded.
      if (contents.size() + static_cast<std::size_t>(n) > kLargestFirmwareFile) {
        refusal = {0, path + " is larger than " + std::to_string(kLargestFirmwareFile) + " bytes"};
        ok = false;
        break;
      }
      contents.append(chunk, static_cast<std::size_t>(n));
    }
  }
  ::close(fd);
  return ok;
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
  if (const std::optional<HexRefusal> refusal = ReadHexText(contents, records_)) {
    refusal_ = *refusal;
    return HexOpenResult::Refused;
  }
  // Counting the lines has read the file to its end.
  next_ = records_.Count();
  open_ = true;
  return HexOpenResult::Opened;
}

void HexImageFile::Close() {
  records_.Clear();
  next_ = 0;
  open_ = false;
}

bool HexImageFile::Rewind() {
  if (!open_) return false;
  next_ = 0;
  return true;
}

std::vector<std::uint8_t> HexImageFile::ReadRecord() {
  if (!open_ || next_ >= records_.Count()) return {};
  const std::span<const std::uint8_t> record = records_.Record(next_++);
  return std::vector<std::uint8_t>(record.begin(), record.end());
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
  next_ = records_.Count();

  if (lowestAddress > highestEnd) {
    lastRange_ = {};
    return CheckValue(nullptr, 0);
  }
  const std::uint32_t start = lowestAddress / 4 * 4;
  const std::uint32_t end = std::min<std::uint32_t>((highestEnd + 3) / 4 * 4, kImageSize);
  lastRange_ = {start, end};
  return CheckValue(image.data() + start, end - start);
}
