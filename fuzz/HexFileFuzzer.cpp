// Firmware files: whatever the bytes, the check either refuses them naming
// a line that exists, or accepts a file whose records read back and whose
// image check value can be computed.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "firmware/HexFileCheck.h"
#include "firmware/HexImageFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view contents(reinterpret_cast<const char*>(data), size);
  HexRecords records;
  const std::optional<HexRefusal> refusal = ReadHexText(contents, records);
  if (refusal) {
    if (refusal->line < 0 || refusal->line > static_cast<int>(size) + 1 || refusal->reason.empty()) std::abort();
    if (records.Count() != 0) std::abort();
    return 0;
  }
  // An accepted file, as the upgrade reads it.
  static const std::string path = "/tmp/fuzz-hex-file-" + std::to_string(::getpid()) + ".hex";
  if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
    std::fwrite(data, 1, size, file);
    std::fclose(file);
  }
  HexImageFile image;
  if (image.Open(path) != HexOpenResult::Opened) std::abort();
  std::size_t read = 0;
  image.Rewind();
  while (!image.ReadRecord().empty()) ++read;
  if (read != records.Count() || image.LineCount() != records.LineCount()) std::abort();
  image.ImageCheckValue();
  if (image.LastRange().end < image.LastRange().start) std::abort();
  return 0;
}
