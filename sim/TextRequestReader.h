#pragma once
// Cuts the text protocol's byte stream into requests: STX, the text, CR.
// Bytes outside a request are line noise and ignored; an STX inside a request
// starts it again; an overlong request is dropped.

#include <cstdint>
#include <optional>
#include <string>

class TextRequestReader {
 public:
  // The request text when `byte` completes one.
  std::optional<std::string> Feed(std::uint8_t byte);
  void Reset();

 private:
  static constexpr std::size_t kLongest = 64;
  bool inRequest_ = false;
  std::string text_;
};
