#include "config/TextPacking.h"

#include "config/RegisterAccess.h"

std::array<std::uint8_t, 4> UnpackText4(std::uint32_t value) {
  const auto byte = [value](unsigned i) { return static_cast<std::uint8_t>((value >> (8 * i)) & 0xFF); };
  return {byte(1), byte(0), byte(3), byte(2)};
}

std::uint32_t PackText4(const std::array<std::uint8_t, 4>& c) {
  return static_cast<std::uint32_t>(c[1]) | static_cast<std::uint32_t>(c[0]) << 8 |
         static_cast<std::uint32_t>(c[3]) << 16 | static_cast<std::uint32_t>(c[2]) << 24;
}

std::optional<std::string> ReadTextField(CommandExchange& exchange, std::uint16_t firstAddress) {
  std::string bytes;
  bool complete = true;
  for (std::uint16_t group = 0; group < kTextFieldLength / 4; ++group) {
    // The raw read: a saturating read would turn a character above 127 in
    // the register's top byte into 7f ff.
    const auto value = ReadRegister32Raw(exchange, static_cast<std::uint16_t>(firstAddress + 4 * group));
    if (!value) {
      complete = false;
      continue;
    }
    const std::array<std::uint8_t, 4> characters = UnpackText4(*value);
    bytes.append(characters.begin(), characters.end());
  }
  if (!complete) return std::nullopt;
  return bytes.substr(0, bytes.find('\0'));
}

bool WriteTextField(CommandExchange& exchange, std::uint16_t firstAddress, const std::string& singleByte) {
  std::string bytes = singleByte.substr(0, kTextFieldLength);
  bytes.resize(kTextFieldLength, '\0');
  bool all = true;
  for (std::size_t group = 0; group < kTextFieldLength / 4; ++group) {
    std::array<std::uint8_t, 4> characters{};
    for (std::size_t k = 0; k < 4; ++k) characters[k] = static_cast<std::uint8_t>(bytes[4 * group + k]);
    const auto address = static_cast<std::uint16_t>(firstAddress + 4 * group);
    if (!WriteRegister32(exchange, address, PackText4(characters))) all = false;
  }
  return all;
}
