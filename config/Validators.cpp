#include "config/Validators.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace {

// The characters the sensor's name and location must not contain, as
// ISO 8859-1 codes.
constexpr std::array<unsigned char, 29> kForbidden = {
    0x21, 0x25, 0x5B, 0x23, 0x60, 0x5E, 0x5D, 0x7E, 0xAC, 0x26, 0x3B, 0x7C, 0xA6, 0x2A, 0x3A,
    0x2C, 0xA3, 0x7B, 0x27, 0x3C, 0x24, 0x7D, 0x40, 0x3E, 0x2F, 0x3F, 0x3D, 0x2B, 0x22,
};

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool HasAsciiLetter(const std::string& text) { return std::any_of(text.begin(), text.end(), IsAsciiLetter); }

constexpr std::size_t kEntryLimit = 64;

}  // namespace

std::string ToSingleByte(std::string_view utf8, std::size_t limit) {
  std::string out;
  std::size_t i = 0;
  while (i < utf8.size() && out.size() < limit) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    std::size_t length = 0;
    char32_t code = 0;
    if (lead < 0x80) {
      length = 1;
      code = lead;
    } else if ((lead & 0xE0) == 0xC0) {
      length = 2;
      code = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
      length = 3;
      code = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
      length = 4;
      code = lead & 0x07;
    }
    bool valid = length > 0 && i + length <= utf8.size();
    for (std::size_t k = 1; valid && k < length; ++k) {
      const auto next = static_cast<unsigned char>(utf8[i + k]);
      valid = (next & 0xC0) == 0x80;
      code = (code << 6) | (next & 0x3F);
    }
    if (!valid) {
      // A byte that starts no valid sequence stands for one unknown character.
      out.push_back(kUnrepresentable);
      ++i;
      continue;
    }
    out.push_back(code <= 0xFF ? static_cast<char>(code) : kUnrepresentable);
    i += length;
  }
  return out;
}

std::string FromSingleByte(std::string_view singleByte) {
  std::string out;
  for (char c : singleByte) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      out.push_back(c);
    } else {
      out.push_back(static_cast<char>(0xC0 | (byte >> 6)));
      out.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
    }
  }
  return out;
}

bool IsPlainText(std::string_view singleByte) {
  return std::none_of(singleByte.begin(), singleByte.end(), [](char c) {
    return std::find(kForbidden.begin(), kForbidden.end(), static_cast<unsigned char>(c)) != kForbidden.end();
  });
}

std::optional<std::int32_t> ParseWholeNumber(const std::string& text) {
  const std::string entry = ToSingleByte(text, kEntryLimit);
  if (entry.find('.') != std::string::npos || HasAsciiLetter(entry)) return std::nullopt;
  float number = 0;
  if (std::sscanf(entry.c_str(), "%f", &number) != 1) return std::nullopt;
  const double whole = std::trunc(static_cast<double>(number));
  if (whole >= 2147483647.0) return 2147483647;
  if (whole <= -2147483648.0) return -2147483647 - 1;
  return static_cast<std::int32_t>(whole);
}

std::optional<float> ParsePositiveReal(const std::string& text) {
  const std::string entry = ToSingleByte(text, kEntryLimit);
  if (HasAsciiLetter(entry)) return std::nullopt;
  float number = 0;
  if (std::sscanf(entry.c_str(), "%f", &number) != 1) number = 0;
  if (!(number > 0)) return std::nullopt;
  return number;
}
