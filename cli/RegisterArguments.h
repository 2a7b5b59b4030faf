#pragma once
// The arguments of the register commands: ADDR [VALUE] [--bytes 2|4].

#include <optional>
#include <string>
#include <vector>

struct RegisterArguments {
  unsigned address = 0;
  long value = 0;
  int bytes = 2;
};

// Parses `args` for a command that takes a value (`withValue`) or not.
// Prints what is wrong on stderr and returns no value on a usage error.
std::optional<RegisterArguments> ParseRegisterArguments(const char* command, const std::vector<std::string>& args,
                                                        bool withValue);
