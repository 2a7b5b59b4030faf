#pragma once
// Entry validators of the configure window (no sensor traffic) and the
// conversion between the window's UTF-8 texts and the sensor's single-byte
// characters (ISO 8859-1).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Stands in for a character that ISO 8859-1 cannot hold (and for a byte that
// is not valid UTF-8): the inverted question mark, which is no forbidden
// character, so an unrepresentable character never makes a text look unsafe.
constexpr char kUnrepresentable = '\xBF';

// UTF-8 to single-byte characters, at most `limit` of them.
std::string ToSingleByte(std::string_view utf8, std::size_t limit = std::string_view::npos);
// Single-byte characters to UTF-8.
std::string FromSingleByte(std::string_view singleByte);

// True when the single-byte text holds none of the 29 characters the sensor's
// name and location must not contain.
bool IsPlainText(std::string_view singleByte);

// A whole number typed into a box: rejected when the text (first 64
// single-byte characters) holds a full stop or an ASCII letter or does not
// start with a number; otherwise read as a real and truncated toward zero,
// so "1050,5" gives 1050.
std::optional<std::int32_t> ParseWholeNumber(const std::string& text);

// A real greater than 0 typed into a box: rejected when the text holds an
// ASCII letter; a text that does not start with a number reads as 0.
std::optional<float> ParsePositiveReal(const std::string& text);
