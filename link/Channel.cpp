#include "link/Channel.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace {
// Entry i is i multiplied by 0x1021 without carries.
constexpr std::uint16_t kCheckTable[16] = {
    0x0000, 0x1021, 0x2042, 0x3063, 0x4084, 0x50A5, 0x60C6, 0x70E7,
    0x8108, 0x9129, 0xA14A, 0xB16B, 0xC18C, 0xD1AD, 0xE1CE, 0xF1EF};

constexpr bool NeedsEscape(std::uint8_t b) { return b == 0x01 || b == 0x04 || b == 0x10; }
}  // namespace

std::uint16_t CheckValue(const std::uint8_t* data, std::size_t n) {
  std::uint16_t crc = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint8_t b = data[i];
    crc = static_cast<std::uint16_t>(kCheckTable[((crc >> 12) ^ (b >> 4)) & 0x0F] ^ (crc << 4));
    crc = static_cast<std::uint16_t>(kCheckTable[((crc >> 12) ^ b) & 0x0F] ^ (crc << 4));
  }
  return crc;
}

std::vector<std::uint8_t> EncodeFrame(const std::uint8_t* payload, std::size_t n) {
  const std::uint16_t check = CheckValue(payload, n);
  std::vector<std::uint8_t> frame;
  frame.reserve(2 * (n + 2) + 2);  // every byte escaped, plus start and end
  frame.push_back(0x01);
  auto put = [&frame](std::uint8_t b) {
    if (NeedsEscape(b)) frame.push_back(0x10);
    frame.push_back(b);
  };
  for (std::size_t i = 0; i < n; ++i) put(payload[i]);
  put(static_cast<std::uint8_t>(check & 0xFF));
  put(static_cast<std::uint8_t>(check >> 8));
  frame.push_back(0x04);
  return frame;
}

bool Channel::Send(const std::uint8_t* data, std::size_t n) {
  lastRequest_.assign(data, data + n);
  lastSendFailed_ = !WriteBytes(data, n);
  return !lastSendFailed_;
}

bool Channel::WriteFrame(const std::uint8_t* payload, std::size_t n) {
  const std::vector<std::uint8_t> frame = EncodeFrame(payload, n);
  return Send(frame.data(), frame.size());
}

std::size_t Channel::CopyReply(std::uint8_t* destination, std::size_t capacity) const {
  const std::size_t skip = EchoLength();
  if (skip == 0) return CopyOut(destination, capacity);
  std::vector<std::uint8_t> all(skip + capacity);
  const std::size_t n = CopyOut(all.data(), all.size());
  if (n <= skip) return 0;
  std::copy(all.begin() + static_cast<std::ptrdiff_t>(skip), all.begin() + static_cast<std::ptrdiff_t>(n), destination);
  return n - skip;
}

int Channel::WaitForCount(int atLeast, std::int64_t timeoutUs) {
  const int now = Available();
  if (now >= atLeast || timeoutUs <= 0) return now;
  std::this_thread::sleep_for(std::chrono::microseconds(std::min<std::int64_t>(timeoutUs, 1000)));
  return Available();
}
