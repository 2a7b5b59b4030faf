#pragma once
// The sensor's answer to the live status command "A": LF, CR, STX, "A", ","
// and then five hexadecimal fields separated by commas.

#include <cstdint>
#include <optional>
#include <string_view>

class ReplyBuffer;

struct StatusReading {
  std::int32_t coarse = 0;       // coarse debris, per cent of full scale
  std::int32_t fine = 0;         // fine debris, per cent of full scale
  std::int32_t oil = 0;          // oil status in raw counts (1024 shown as 1000)
  std::int32_t temperature = 0;  // low 16 bits: signed temperature in 1/16 degree C
  std::int32_t status = 0;       // status flag bits
};

// The five fields of a status reply, or no value when the reply does not
// begin with the status header or a field cannot be read.
std::optional<StatusReading> ParseStatusReply(std::string_view reply);
std::optional<StatusReading> ParseStatusReply(const ReplyBuffer& reply);
