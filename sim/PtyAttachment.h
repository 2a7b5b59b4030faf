#pragma once
// The sensor's end of the serial line: a pseudo-terminal whose slave device is
// linked where the configurator looks for its COM ports.
//
// The simulator keeps a descriptor of the slave open for its whole life, so
// the master never reads EIO between two configurators. On a pseudo-terminal
// the exclusive mode a configurator sets (TIOCEXCL) outlives that
// configurator's close, which would lock out the next one (unless it runs
// as root); a real port forgets it at its last close. So the attachment
// watches closes of the slave (inotify) and, once no other process holds
// the slave open, clears exclusive mode and drops unread input as a real
// port's close would.

#include <cstddef>
#include <cstdint>
#include <string>

class PtyAttachment {
 public:
  PtyAttachment() = default;
  ~PtyAttachment();
  PtyAttachment(const PtyAttachment&) = delete;
  PtyAttachment& operator=(const PtyAttachment&) = delete;

  // Opens the pseudo-terminal, makes both sides raw and links the slave at
  // `linkPath`, creating missing folders. Returns "" or the reason it failed.
  std::string Attach(const std::string& linkPath);

  int MasterDescriptor() const { return master_; }
  int WatchDescriptor() const { return watch_; }
  const std::string& SlavePath() const { return slavePath_; }

  // The line rate the configurator set on its side, in baud (0 if unknown).
  int LineRate() const;

  // Reads what the configurator wrote; 0 when nothing is waiting.
  std::size_t Read(std::uint8_t* destination, std::size_t capacity);
  // Writes towards the configurator; returns how many bytes went out.
  std::size_t Write(const std::uint8_t* data, std::size_t n);

  // Takes the pending close notices; true when the last outside descriptor
  // of the slave has just been closed (and the port was reset).
  bool TakeWatchEvents();

  // Removes the link (if it still points at this slave) and closes everything.
  void Detach();

 private:
  // Whether a process other than this one has the slave open.
  bool OpenedElsewhere() const;

  int master_ = -1;
  int ownSlave_ = -1;
  int watch_ = -1;
  std::string slavePath_;
  std::string linkPath_;
};
