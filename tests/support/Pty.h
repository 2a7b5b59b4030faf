#pragma once
// A pseudo-terminal for tests that cross a real tty: the test holds the
// master side and plays the far end; the code under test opens the slave.

#include <cstdint>
#include <string>
#include <vector>

class Pty {
 public:
  Pty();
  ~Pty();
  Pty(const Pty&) = delete;
  Pty& operator=(const Pty&) = delete;

  const std::string& SlavePath() const { return slave_; }
  int Master() const { return master_; }

  void Write(const std::vector<std::uint8_t>& bytes);
  // Reads what has arrived within `ms` milliseconds of quiet.
  std::vector<std::uint8_t> ReadFor(int ms);
  // The line rate the other side set (from the master's view of the termios).
  int Baud() const;

 private:
  int master_ = -1;
  int slaveKeeper_ = -1;  // keeps the slave side alive between openers
  std::string slave_;
};

// A private data folder whose ports/ table maps COM numbers to given devices.
class PortsFolder {
 public:
  PortsFolder();
  ~PortsFolder();
  void Link(int com, const std::string& device);
  const std::string& Home() const { return home_; }
  std::string DataFolder() const { return home_ + "/TesselAppsData/OilDebris"; }

 private:
  std::string home_;
};
