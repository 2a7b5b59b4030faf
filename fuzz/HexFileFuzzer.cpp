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
  const std::string contents(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> lines = SplitHexLines(contents);
  const std::optional<HexRefusal> refusal = CheckHexLines(lines);
  if (refusal) {
    if (refusal->line < 0 || refusal->line > static_cast<int>(lines.size()) || refusal->reason.empty()) std::abort();
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
  std::size_t records = 0;
  image.Rewind();
  while (!image.ReadRecord().empty()) ++records;
  image.ImageCheckValue();
  if (image.LastRange().end < image.LastRange().start) std::abort();
  return 0;
}
