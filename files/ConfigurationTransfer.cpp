#include "files/ConfigurationTransfer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "app/Unit9.h"
#include "config/Calibration.h"
#include "config/Features.h"
#include "config/RegisterAccess.h"
#include "config/RegisterMap.h"
#include "files/ConfigurationFile.h"

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// The message of a failed export (162) or import (166): the entry, one
// space and "Please try again."; `detail` says why, for the tool and the log.
Message TransferError(Session& session, int entry, const std::string& detail) {
  Message message = ErrorMessage(entry, JoinTexts2(entry, " ", 163));
  message.detail = detail;
  if (!detail.empty()) {
    session.Link().m_debuglog.Write("%s: %s\n", message.text.c_str(), detail.c_str());
  }
  return message;
}

TransferResult Ended(Session& session, TransferResult result) {
  // The poll of the window in front: the reporting window's while it shows.
  UserInterface& user = session.User();
  if (user.ReportingVisible()) {
    user.StartReportingPoll();
  } else {
    user.StartStatusPoll();
  }
  return result;
}

// The export file, created or emptied; only a regular file is written. It is
// opened without blocking, so that a FIFO without a reader or a device cannot
// hang the program, and it is emptied only once it is known to be a regular
// file. Null, with the path and the reason in `detail`, when it cannot be.
std::FILE* CreateExportFile(const std::string& path, std::string& detail) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666);
  if (fd < 0) {
    // A FIFO that nobody reads refuses a non-blocking open for writing.
    detail = errno == ENXIO ? path + " is not a regular file" : "cannot create " + path + ": " + std::strerror(errno);
    return nullptr;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    detail = "cannot create " + path + ": " + std::strerror(errno);
  } else if (!S_ISREG(info.st_mode)) {
    detail = path + " is not a regular file";
  } else if (::ftruncate(fd, 0) != 0) {
    detail = "cannot create " + path + ": " + std::strerror(errno);
  } else {
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
      detail = "cannot create " + path + ": " + std::strerror(errno);
    } else if (std::FILE* file = ::fdopen(fd, "wb")) {
      return file;
    } else {
      detail = "cannot create " + path + ": " + std::strerror(errno);
    }
  }
  ::close(fd);
  return nullptr;
}

}  // namespace

TransferResult ExportConfiguration(Session& session) {
  UserInterface& user = session.User();
  user.StopStatusPoll();
  const std::optional<std::string> path = user.ChooseSaveFile(kExportFilter, kExportExtension);
  if (!path) {
    user.ShowMessage(ErrorMessage(160, TextOf(160)));
    return Ended(session, {TransferOutcome::Cancelled, 0, ""});
  }

  // Created before the unlock: when it cannot be, nothing reaches the sensor.
  std::string detail;
  std::unique_ptr<std::FILE, FileCloser> file(CreateExportFile(*path, detail));
  if (!file) {
    user.ShowMessage(TransferError(session, 162, detail));
    return Ended(session, {TransferOutcome::FileRefused, 0, detail});
  }

  session.Exchange().UnlockConfig();
  const std::vector<std::uint16_t> addresses = ExportList();
  user.ProgressTitle(161);
  user.ProgressMaximum(static_cast<int>(addresses.size()));
  user.ProgressPosition(0);
  user.ProgressShow();
  int written = 0;
  bool writeFailed = false;
  for (std::uint16_t address : addresses) {
    if (const std::optional<std::uint16_t> value = ReadRegister16(session.Exchange(), address)) {
      const std::string line = ConfigurationLineText(static_cast<std::uint8_t>(address), *value);
      if (std::fputs(line.c_str(), file.get()) >= 0) {
        ++written;
      } else {
        writeFailed = true;
      }
    }
    user.ProgressStep();
    user.ProcessEvents();
  }
  user.ProgressClose();
  // A full disk must not pass for a saved configuration.
  if (std::fclose(file.release()) != 0) writeFailed = true;

  TransferResult result{TransferOutcome::Completed, written, ""};
  if (written < static_cast<int>(addresses.size()) || writeFailed) {
    result.outcome = TransferOutcome::Incomplete;
    if (writeFailed) result.detail = "cannot write " + *path;
    user.ShowMessage(TransferError(session, 162, result.detail));
  }
  return Ended(session, result);
}

TransferResult ImportConfiguration(Session& session) {
  UserInterface& user = session.User();
  user.StopStatusPoll();
  const std::optional<std::string> path = user.ChooseOpenFile(kImportFilter);
  if (!path) {
    user.ShowMessage(ErrorMessage(164, TextOf(164)));
    return Ended(session, {TransferOutcome::Cancelled, 0, ""});
  }

  // Checked whole first: a refused file puts nothing on the line.
  const ConfigurationFileRead read = ReadConfigurationFile(*path);
  if (read.refusal) {
    const std::string detail = read.refusal->line == 0 ? read.refusal->reason : *path + ": " + read.refusal->Describe();
    user.ShowMessage(TransferError(session, 166, detail));
    return Ended(session, {TransferOutcome::FileRefused, 0, detail});
  }

  CommandExchange& exchange = session.Exchange();
  exchange.UnlockConfig();
  user.ProgressTitle(165);
  user.ProgressMaximum(static_cast<int>(read.lines.size()));
  user.ProgressPosition(0);
  user.ProgressShow();
  int written = 0;
  for (const ConfigurationLine& line : read.lines) {
    if (WriteRegister16(exchange, line.address, line.value)) ++written;
    user.ProgressStep();
    user.ProcessEvents();
  }
  user.ProgressClose();

  TransferResult result{TransferOutcome::Completed, written, ""};
  if (written == static_cast<int>(read.lines.size())) {
    exchange.SendCommand("Z");
  } else {
    result.outcome = TransferOutcome::Incomplete;
    user.ShowMessage(TransferError(session, 166, ""));
  }
  ReadFeatures(session);
  return Ended(session, result);
}

TransferResult RestoreFactoryDefaults(Session& session, int set) {
  UserInterface& user = session.User();
  CommandExchange& exchange = session.Exchange();
  user.StopStatusPoll();
  session.Time().Sleep(100);

  Message confirm;
  confirm.title = 157;
  confirm.entry = 156;
  confirm.text = TextOf(156);
  confirm.buttons = MessageButtons::YesNo;
  if (user.ShowMessage(confirm) != MessageAnswer::Yes) return Ended(session, {TransferOutcome::Cancelled, 0, ""});

  exchange.UnlockConfig();
  session.Time().Sleep(50);
  exchange.SendCommand("D " + std::to_string(set));
  session.Time().Sleep(1000);
  ReadFeatures(session);
  ApplyFeatureVisibility(session);

  Message zeroTare;
  zeroTare.title = 158;
  zeroTare.entry = 220;
  zeroTare.text = JoinTexts2(220, "\n\n", 221);
  zeroTare.buttons = MessageButtons::YesNo;
  if (user.ShowMessage(zeroTare) == MessageAnswer::Yes) Calibrate(session, Calibration::ZeroTare);
  return Ended(session, {TransferOutcome::Completed, 0, ""});
}
