#pragma once
// The check a firmware file passes before anything is sent to the sensor.
// A file is refused when a line is not a well-formed record, when the
// records would not make a usable image, or when its end is missing.

#include <optional>
#include <string>
#include <vector>

// Why a file was refused: the line (from 1; 0 when it concerns the whole
// file) and the reason, for the command-line tool and the debug log.
struct HexRefusal {
  int line = 0;
  std::string reason;
  std::string Describe() const;
};

// Splits file contents into lines at LF; a CR right before the LF is
// dropped, as a text-mode read does. A last line without LF is a line.
std::vector<std::string> SplitHexLines(const std::string& contents);

// No value: the file is acceptable.
std::optional<HexRefusal> CheckHexLines(const std::vector<std::string>& lines);
