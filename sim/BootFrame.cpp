#include "sim/BootFrame.h"

namespace {
constexpr std::uint8_t kStart = 0x01;
constexpr std::uint8_t kEnd = 0x04;
constexpr std::uint8_t kEscape = 0x10;
}  // namespace

std::uint16_t SensorCheckValue(const std::uint8_t* data, std::size_t n) {
  std::uint16_t crc = 0;
  for (std::size_t i = 0; i < n; ++i) {
    crc = static_cast<std::uint16_t>(crc ^ (data[i] << 8));
    for (int bit = 0; bit < 8; ++bit) {
      crc = static_cast<std::uint16_t>((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
    }
  }
  return crc;
}

std::optional<ReceivedFrame> BootFrameReader::Feed(std::uint8_t byte) {
  if (!inFrame_) {
    if (byte == kStart) {
      inFrame_ = true;
      escaped_ = false;
      body_.clear();
    }
    return std::nullopt;
  }
  if (escaped_) {
    escaped_ = false;
    body_.push_back(byte);
  } else if (byte == kEscape) {
    escaped_ = true;
  } else if (byte == kStart) {
    body_.clear();
  } else if (byte == kEnd) {
    inFrame_ = false;
    if (body_.size() < 2) return ReceivedFrame{{}, false};
    ReceivedFrame frame;
    frame.payload.assign(body_.begin(), body_.end() - 2);
    const std::uint16_t sent = static_cast<std::uint16_t>(body_[body_.size() - 2] | (body_.back() << 8));
    frame.checkOk = sent == SensorCheckValue(frame.payload.data(), frame.payload.size());
    return frame;
  } else {
    body_.push_back(byte);
  }
  if (body_.size() > kLongest) Reset();
  return std::nullopt;
}

void BootFrameReader::Reset() {
  inFrame_ = false;
  escaped_ = false;
  body_.clear();
}

std::vector<std::uint8_t> BuildBootFrame(const std::vector<std::uint8_t>& payload) {
  std::vector<std::uint8_t> body = payload;
  const std::uint16_t check = SensorCheckValue(payload.data(), payload.size());
  body.push_back(static_cast<std::uint8_t>(check & 0xFF));
  body.push_back(static_cast<std::uint8_t>(check >> 8));
  std::vector<std::uint8_t> frame{kStart};
  for (const std::uint8_t b : body) {
    if (b == kStart || b == kEnd || b == kEscape) frame.push_back(kEscape);
    frame.push_back(b);
  }
  frame.push_back(kEnd);
  return frame;
}
