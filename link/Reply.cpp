#include "link/Reply.h"

#include <cstring>

#include "link/CommandExchange.h"
#include "link/HexDigits.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// One "%x" conversion starting at `pos`; advances `pos` past it.
bool ReadHex(std::string_view text, std::size_t& pos, std::uint32_t& value) {
  while (pos < text.size() && IsBlank(text[pos])) ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
    negative = text[pos] == '-';
    ++pos;
  }
  // "0x" is a prefix only when a digit follows; otherwise the "0" is the number.
  if (pos + 2 < text.size() && text[pos] == '0' && (text[pos + 1] == 'x' || text[pos + 1] == 'X') &&
      HexDigitValue(text[pos + 2]) >= 0) {
    pos += 2;
  }
  std::uint32_t v = 0;
  std::size_t digits = 0;
  while (pos < text.size() && HexDigitValue(text[pos]) >= 0) {
    v = (v << 4) | static_cast<std::uint32_t>(HexDigitValue(text[pos]));
    ++pos;
    ++digits;
  }
  if (digits == 0) return false;
  value = negative ? (0u - v) : v;
  return true;
}

}  // namespace

std::string_view ReplyText(const ReplyBuffer& reply) {
  return std::string_view(reply.Text(), strnlen(reply.Text(), reply.Capacity()));
}

bool HasReplyHeader(std::string_view reply, char letter) {
  const char header[kReplyHeaderLength] = {'\n', '\r', '\x02', letter, ','};
  return reply.substr(0, kReplyHeaderLength) == std::string_view(header, kReplyHeaderLength);
}

std::string_view ReplyFields(std::string_view reply) {
  return reply.size() > kReplyHeaderLength ? reply.substr(kReplyHeaderLength) : std::string_view();
}

std::string_view ReplyFields(const ReplyBuffer& reply) {
  if (reply.Capacity() <= kReplyHeaderLength) return {};
  const char* fields = reply.Text() + kReplyHeaderLength;
  return std::string_view(fields, strnlen(fields, reply.Capacity() - kReplyHeaderLength));
}

int ScanHexFields(std::string_view text, int count, std::uint32_t* fields) {
  std::size_t pos = 0;
  for (int i = 0; i < count; ++i) {
    if (i > 0) {
      if (pos >= text.size() || text[pos] != ',') return i;
      ++pos;
    }
    std::uint32_t value = 0;
    if (!ReadHex(text, pos, value)) return i;
    fields[i] = value;
  }
  return count;
}
