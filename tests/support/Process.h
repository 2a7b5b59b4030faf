#pragma once
// Runs a program of the project for end-to-end tests and collects its output.

#include <functional>
#include <string>
#include <vector>

struct ProcessResult {
  int status = -1;  // exit status, or 128 + signal
  std::string out;
  std::string err;
};

// Runs `argv` with HOME set to `home` (when not empty) and waits for it.
ProcessResult RunProcess(const std::vector<std::string>& argv, const std::string& home = "",
                         int timeoutMs = 60000);
