#pragma once
// COM port numbers 1 to 99 and the serial devices they name. Built once per
// run: when the data folder has a `ports/` subfolder, its entries com1 ..
// com99 (links to device nodes) are the complete table; otherwise the serial
// devices present are numbered from COM1: USB adapters (/dev/ttyUSB*), then
// ACM devices (/dev/ttyACM*), each by number, then on-board ports with real
// hardware (/dev/ttyS*).

#include <map>
#include <string>
#include <vector>

class PortMap {
 public:
  PortMap() = default;
  // The table for a data folder (normally $HOME/TesselAppsData/OilDebris).
  static PortMap Build(const std::string& dataFolder);
  // A table given outright (tests).
  static PortMap FromEntries(std::map<int, std::string> entries);

  // The device of COM port n, or "" when n names none.
  std::string Device(int port) const;
  const std::map<int, std::string>& Entries() const { return entries_; }
  // Whether the table came from the ports/ folder.
  bool FromPortsFolder() const { return fromPortsFolder_; }

  // The device port n resolves to (a link of the ports/ folder is followed).
  std::string Resolved(int port) const;
  // What the system knows of a USB adapter behind port n: the product and
  // serial number from sysfs ("FT232R USB UART A10K3JQ2"), else its
  // /dev/serial/by-id/ name; "" for other devices.
  std::string AdapterName(int port) const;
  // "COM%02d", two spaces and the device, then two spaces and the adapter's
  // name when there is one, as the port dialog and the command-line tool
  // show a port ("COM01  /dev/ttyUSB0  FT232R USB UART A10K3JQ2").
  std::string Describe(int port) const;

  // What recognises the device of a port when it comes back after an
  // unplug: the ports/ folder's link, else the adapter's /dev/serial/by-id/
  // name, else a USB adapter's serial number, else (a device that is not a
  // USB adapter) its path.
  struct Identity {
    std::string link;
    std::string byId;
    std::string serial;
    std::string device;
  };
  Identity IdentityOf(int port) const;
  // Where that device is now, to be opened: "" while it is not there. A
  // ttyUSB device that is neither linked nor named by-id counts only when
  // its serial number matches, since another adapter may take its name.
  std::string WhereNow(const Identity& identity) const;
  // Points port n at another device (an adapter back under another name).
  void SetDevice(int port, std::string device) { entries_[port] = std::move(device); }

  // Where /sys and /dev are looked up for the adapters' names ("" for the
  // system's own; tests give a tree of their own).
  void SetSystemRoot(std::string root) { systemRoot_ = std::move(root); }

 private:
  std::map<int, std::string> entries_;
  bool fromPortsFolder_ = false;
  std::string systemRoot_;
};
