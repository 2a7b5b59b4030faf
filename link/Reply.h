#pragma once
// Reading the replies whose content the configurator looks at: LF, CR, STX,
// the command letter and a separator (five bytes), then hexadecimal fields
// separated by commas. The status ("A") and extended ("a") replies must begin
// exactly so; the identify reply ("I") is read from the same position
// without that check.

#include <cstddef>
#include <cstdint>
#include <string_view>

class ReplyBuffer;

constexpr std::size_t kReplyHeaderLength = 5;

// The received bytes of a reply buffer up to its zero byte, as text.
std::string_view ReplyText(const ReplyBuffer& reply);

// Whether the reply begins LF, CR, STX, `letter`, ",".
bool HasReplyHeader(std::string_view reply, char letter);

// What follows the five header bytes (empty when the reply is shorter).
std::string_view ReplyFields(std::string_view reply);
// The buffer's bytes from position 5 up to the next zero byte, whatever the
// first five hold (the identify reply is read so, without a header check).
std::string_view ReplyFields(const ReplyBuffer& reply);

// Reads up to `count` comma-separated hexadecimal numbers from the start of
// `text` the way "%x,%x,..." does (leading blanks, an optional sign and "0x"
// are accepted; the comma must follow the number directly); each number
// keeps its low 32 bits, as the sensor sends 32-bit fields. Returns how many
// were read before the first that is missing; what follows the last is
// ignored.
int ScanHexFields(std::string_view text, int count, std::uint32_t* fields);
