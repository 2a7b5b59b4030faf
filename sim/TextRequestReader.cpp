#include "sim/TextRequestReader.h"

namespace {
constexpr std::uint8_t kStx = 0x02;
constexpr std::uint8_t kCr = 0x0D;
}  // namespace

std::optional<std::string> TextRequestReader::Feed(std::uint8_t byte) {
  if (byte == kStx) {
    inRequest_ = true;
    text_.clear();
    return std::nullopt;
  }
  if (!inRequest_) return std::nullopt;
  if (byte == kCr) {
    inRequest_ = false;
    return text_;
  }
  if (text_.size() >= kLongest) {
    Reset();
    return std::nullopt;
  }
  text_ += static_cast<char>(byte);
  return std::nullopt;
}

void TextRequestReader::Reset() {
  inRequest_ = false;
  text_.clear();
}
