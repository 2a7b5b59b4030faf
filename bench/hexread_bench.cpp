// Reading and checking a firmware file of 5 MiB of image data, as the
// upgrade does before it sends anything: the file is read, every record
// checked, and the image's check value computed.
//
//   bench-hexread_bench write FILE   writes the file (0x500000 data bytes,
//                                    16 a record, extended linear addresses)
//   bench-hexread_bench read FILE    opens and checks it, computes the check
//                                    value, and prints the time and the peak
//                                    resident memory against twice the file's
//                                    size plus the image
//
// Time it against another reader from outside, e.g. with /usr/bin/time -v or
// hyperfine, on the same file.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>

#include "bench/BenchSupport.h"
#include "firmware/HexImageFile.h"
#include "firmware/HexRecord.h"

namespace {
constexpr std::uint32_t kImageBytes = 0x500000;
}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 || (std::string(argv[1]) != "write" && std::string(argv[1]) != "read")) {
    std::cerr << "usage: bench-hexread_bench write|read FILE\n";
    return 2;
  }
  const std::string path = argv[2];
  if (std::string(argv[1]) == "write") {
    WriteFirmware(path, kImageBytes);
    return 0;
  }

  const auto start = std::chrono::steady_clock::now();
  HexImageFile file;
  if (file.Open(path) != HexOpenResult::Opened) {
    std::cerr << "refused: " << file.Refusal().Describe() << "\n";
    return 1;
  }
  const std::uint16_t check = file.ImageCheckValue();
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();

  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  const double peakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;
  const double fileMiB = static_cast<double>(std::filesystem::file_size(path)) / (1024.0 * 1024.0);
  const double limitMiB = 2 * fileMiB + static_cast<double>(kImageSize) / (1024.0 * 1024.0);
  std::printf("lines %u, check value %04x over %06x-%06x\n", file.LineCount(), check, file.LastRange().start,
              file.LastRange().end);
  std::printf("read and checked in %.1f ms; peak resident %.1f MiB (file %.1f MiB; twice the file plus the image %.1f MiB)\n",
              ms, peakMiB, fileMiB, limitMiB);
  return 0;
}
