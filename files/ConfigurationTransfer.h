#pragma once
// The main window's Sensor menu entries that act on the sensor's stored
// configuration as a whole: Export (Save1Click) saves the 38 registers of
// the export list into a configuration file, Import (Load1Click) writes a
// file's lines into the sensor, and Restore Factory Defaults (Small1Click,
// Medium1Click, Large1Click) has the sensor restore one of its three sets.
// Each stops the status poll for its whole run and, at its end, starts it
// again, or the reporting poll instead while the reporting window shows. The
// command-line tool runs the same procedures.

#include <string>

#include "config/Session.h"

inline constexpr const char* kExportFilter = "Config files|*.dsc";
inline constexpr const char* kExportExtension = "dsc";
inline constexpr const char* kImportFilter = "Config files (*.dsc)|*.dsc";

enum class TransferOutcome {
  Cancelled,    // the file choice or the confirmation was declined
  FileRefused,  // the file could not be created, opened or read: nothing was sent
  Incomplete,   // a register could not be read, or a write failed
  Completed,
};

struct TransferResult {
  TransferOutcome outcome = TransferOutcome::Cancelled;
  // Export: lines written; import: values written.
  int lines = 0;
  // Why a file was refused (path, line and reason), for the command-line
  // tool; the debug log gets it too.
  std::string detail;
};

// Save1Click. The file is created (emptied) before anything is sent, and
// only a regular file is written (a FIFO or a device is refused); a
// register that cannot be read is left out of it, and any gap gives the
// saving error message; the file keeps the lines that were read.
TransferResult ExportConfiguration(Session& session);

// Load1Click. The whole file is read and checked before anything is sent;
// then the unlock, one WriteRegister16 per line (a failed write does not
// stop the import), "Z" only when every write succeeded, and the features
// read.
TransferResult ImportConfiguration(Session& session);

// Small1Click (set 1), Medium1Click (2), Large1Click (3): after the
// confirmation, the unlock, "D n", a second, the features read and the
// visibility rules; then the question whether to run Zero/Tare.
TransferResult RestoreFactoryDefaults(Session& session, int set);
