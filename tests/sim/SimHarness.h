#pragma once
// Runs the simulated sensor as its own process on a link in a temporary
// folder, and talks to it through that link as the configurator would: raw
// line, exclusive open, requests written after the receive side is emptied.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/SensorSimProcess.h"

using Bytes = std::vector<std::uint8_t>;

class SimProcess {
 public:
  // Starts the simulator with `arguments` plus "--link <folder>/com" (unless
  // `linkArguments` is false) and waits for its "ready" line.
  explicit SimProcess(const std::vector<std::string>& arguments, bool linkArguments = true);
  ~SimProcess();
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;

  bool Ready() const { return process_ && process_->Ready(); }
  const std::string& Folder() const { return folder_; }
  const std::string& LinkPath() const { return linkPath_; }
  const std::string& SlavePath() const { return slavePath_; }

  // Sends `signal` and waits for the exit; the exit status, or -1.
  int Stop(int signal) { return process_ ? process_->Stop(signal) : -1; }

 private:
  std::string folder_;
  std::string linkPath_;
  std::string slavePath_;
  std::optional<SensorSimProcess> process_;
};

class SimPort {
 public:
  explicit SimPort(const std::string& path, int baud = 19200);
  ~SimPort();
  SimPort(const SimPort&) = delete;
  SimPort& operator=(const SimPort&) = delete;

  bool IsOpen() const { return fd_ >= 0; }
  int Descriptor() const { return fd_; }
  // Changes the line rate and gives the simulator a moment to notice, as the
  // configurator pauses after every change of rate.
  void SetRate(int baud);

  // Empties what has arrived, then writes the bytes.
  void Write(const Bytes& bytes);
  void SendText(const std::string& text);
  // Reads until at least `n` bytes are in or `timeoutMs` has passed.
  Bytes ReadAtLeast(std::size_t n, int timeoutMs = 2000);
  // Reads whatever arrives within `ms`.
  Bytes ReadFor(int ms);
  // Sends a text request and collects at least `n` bytes of its reply (the
  // simulator writes a reply in one piece, so it arrives whole).
  std::string Ask(const std::string& text, std::size_t n, int timeoutMs = 2000);

 private:
  int fd_ = -1;
};

// Reads hexadecimal fields separated by commas from position 5 of a reply.
std::vector<std::uint32_t> FieldsFrom5(const std::string& reply);
std::string AsText(const Bytes& bytes);
