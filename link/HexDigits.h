#pragma once
// The value of a hexadecimal digit of either case, or -1 for any other
// character: the replies, the firmware files and the configuration files are
// all read digit by digit with it.

constexpr int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}
