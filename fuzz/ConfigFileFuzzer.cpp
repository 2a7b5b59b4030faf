// Configuration files: whatever the bytes, the reader either refuses them
// naming a line that exists, or hands out lines whose fields fit.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "files/ConfigurationFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const ConfigurationFileRead read = ParseConfigurationText(text);
  // Lines end at LF, or at CR in a file without any LF.
  const char separator = text.find('\n') == std::string::npos ? '\r' : '\n';
  int lines = 1;
  for (const char c : text) lines += c == separator ? 1 : 0;
  if (read.refusal) {
    if (!read.lines.empty() || read.refusal->line < 1 || read.refusal->line > lines) std::abort();
    if (read.refusal->reason.empty()) std::abort();
    return 0;
  }
  int previous = 0;
  for (const ConfigurationLine& line : read.lines) {
    if (line.lineNumber <= previous || line.lineNumber > lines) std::abort();
    previous = line.lineNumber;
    // Written back, a line reads as itself.
    const ConfigurationFileRead again = ParseConfigurationText(ConfigurationLineText(line.address, line.value));
    if (again.refusal || again.lines.size() != 1 || again.lines[0].address != line.address ||
        again.lines[0].value != line.value) {
      std::abort();
    }
  }
  return 0;
}
