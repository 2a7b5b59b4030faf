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
// `whileRunning`, when given, is called with the program's process id about
// every 10 ms until its output ends (to send it a signal, for example).
ProcessResult RunProcess(const std::vector<std::string>& argv, const std::string& home = "",
                         int timeoutMs = 60000, const std::function<void(int pid)>& whileRunning = {});
