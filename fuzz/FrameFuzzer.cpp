// Bootloader frames: every payload the configurator frames reaches the
// sensor's own frame reader whole, with a matching check value; and the
// sensor's reader survives any bytes.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "link/Channel.h"
#include "sim/BootFrame.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::uint8_t> payload(data, data + size);
  const std::vector<std::uint8_t> frame = EncodeFrame(payload.data(), payload.size());
  if (frame.size() > 2 * (size + 2) + 2 || frame.front() != 0x01 || frame.back() != 0x04) std::abort();
  if (CheckValue(payload.data(), payload.size()) != SensorCheckValue(payload.data(), payload.size())) std::abort();

  BootFrameReader reader;
  std::optional<ReceivedFrame> received;
  for (std::size_t i = 0; i < frame.size(); ++i) {
    received = reader.Feed(frame[i]);
    if (received && i + 1 != frame.size()) std::abort();  // no frame ends early
  }
  // The sensor's reader keeps frames up to its own limit.
  if (size + 2 <= 2048 - 2) {
    if (!received || !received->checkOk || received->payload != payload) std::abort();
  }

  // Raw bytes fed to the reader never break it.
  BootFrameReader raw;
  for (std::size_t i = 0; i < size; ++i) raw.Feed(data[i]);
  return 0;
}
