// The configuration file commands, with exactly the Sensor menu's traffic:
//   export FILE                         the 38 registers into FILE
//   import FILE [--backup FILE2]        FILE into the sensor (FILE2: a backup first)
//   defaults small|medium|large [--zero-tare] [--backup FILE2]
//   diff FILE                           the registers whose value differs from FILE
// A file is checked whole before the port is touched.
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <iostream>

#include "cli/Cli.h"
#include "config/RegisterAccess.h"
#include "config/RegisterMap.h"
#include "files/ConfigurationFile.h"
#include "files/ConfigurationTransfer.h"

namespace {

int StatusOf(const TransferResult& result) {
  switch (result.outcome) {
    case TransferOutcome::Completed: return kExitOk;
    case TransferOutcome::Incomplete: return kExitFailed;
    case TransferOutcome::FileRefused:
    case TransferOutcome::Cancelled: break;
  }
  return kExitUsage;
}

// Whether two paths name the same file (the second may not exist yet).
bool SameFile(const std::string& a, const std::string& b) {
  struct stat first {};
  struct stat second {};
  if (::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0) {
    return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
  }
  std::error_code error;
  return std::filesystem::weakly_canonical(a, error) == std::filesystem::weakly_canonical(b, error);
}

// FILE and the options "--backup FILE2" (and, for defaults, "--zero-tare").
struct FileArguments {
  std::vector<std::string> words;
  std::optional<std::string> backup;
  bool zeroTare = false;
};

std::optional<FileArguments> ParseFileArguments(const char* command, const std::vector<std::string>& args,
                                                bool takesBackup, bool takesZeroTare) {
  FileArguments parsed;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (takesBackup && arg == "--backup" && i + 1 < args.size()) {
      parsed.backup = args[++i];
    } else if (takesBackup && arg.rfind("--backup=", 0) == 0 && arg.size() > 9) {
      parsed.backup = arg.substr(9);
    } else if (takesZeroTare && arg == "--zero-tare") {
      parsed.zeroTare = true;
    } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
      std::cerr << "oil-debris-cli: " << command << ": unknown option '" << arg << "'\n";
      return std::nullopt;
    } else {
      parsed.words.push_back(arg);
    }
  }
  if (parsed.words.size() != 1) {
    std::cerr << "oil-debris-cli: " << command << " takes one " << (takesZeroTare ? "set" : "file") << "\n";
    return std::nullopt;
  }
  return parsed;
}

// A file that will be imported or compared, read and checked before
// anything is sent; prints why it is refused.
bool CheckedFile(const std::string& path) {
  const ConfigurationFileRead read = ReadConfigurationFile(path);
  if (!read.refusal) return true;
  std::cerr << "oil-debris-cli: "
            << (read.refusal->line == 0 ? read.refusal->reason : path + ": " + read.refusal->Describe()) << "\n";
  return false;
}

// The sensor's configuration saved to `backup` first; the exit status, not
// kExitOk (after the saving error) when the backup could not be created or
// is incomplete.
int Backup(CliSession& session, const std::string& backup) {
  session.User().file = backup;
  const TransferResult result = ExportConfiguration(session.Core());
  if (result.outcome == TransferOutcome::FileRefused) {
    std::cerr << "oil-debris-cli: cannot create the backup " << backup << ": nothing written\n";
  } else if (result.outcome != TransferOutcome::Completed) {
    std::cerr << "oil-debris-cli: the backup " << backup << " is incomplete: nothing written\n";
  }
  return StatusOf(result);
}

}  // namespace

int RunExport(CliSession& session, const std::vector<std::string>& args) {
  const auto parsed = ParseFileArguments("export", args, false, false);
  if (!parsed) return kExitUsage;
  if (const int status = session.Connect(); status != kExitOk) return status;
  session.User().file = parsed->words[0];
  return StatusOf(ExportConfiguration(session.Core()));
}

int RunImport(CliSession& session, const std::vector<std::string>& args) {
  const auto parsed = ParseFileArguments("import", args, true, false);
  if (!parsed) return kExitUsage;
  const std::string& file = parsed->words[0];
  if (!CheckedFile(file)) return kExitUsage;
  if (parsed->backup && SameFile(*parsed->backup, file)) {
    std::cerr << "oil-debris-cli: the backup would overwrite " << file << " before it is imported\n";
    return kExitUsage;
  }
  if (const int status = session.Connect(); status != kExitOk) return status;
  if (parsed->backup) {
    if (const int status = Backup(session, *parsed->backup); status != kExitOk) return status;
  }
  session.User().file = file;
  return StatusOf(ImportConfiguration(session.Core()));
}

int RunDefaults(CliSession& session, const std::vector<std::string>& args) {
  const auto parsed = ParseFileArguments("defaults", args, true, true);
  if (!parsed) return kExitUsage;
  const std::string& name = parsed->words[0];
  const int set = name == "small" ? 1 : name == "medium" ? 2 : name == "large" ? 3 : 0;
  if (set == 0) {
    std::cerr << "oil-debris-cli: defaults takes small, medium or large, not '" << name << "'\n";
    return kExitUsage;
  }
  if (const int status = session.Connect(); status != kExitOk) return status;
  if (parsed->backup) {
    if (const int status = Backup(session, *parsed->backup); status != kExitOk) return status;
  }
  // No questions asked: restoring is what was asked for, Zero/Tare only with --zero-tare.
  session.User().answers[156] = MessageAnswer::Yes;
  session.User().answers[220] = parsed->zeroTare ? MessageAnswer::Yes : MessageAnswer::No;
  return StatusOf(RestoreFactoryDefaults(session.Core(), set));
}

int RunDiff(CliSession& session, const std::vector<std::string>& args) {
  const auto parsed = ParseFileArguments("diff", args, false, false);
  if (!parsed) return kExitUsage;
  const std::string& file = parsed->words[0];
  const ConfigurationFileRead read = ReadConfigurationFile(file);
  if (read.refusal) {
    CheckedFile(file);
    return kExitUsage;
  }
  if (const int status = session.Connect(); status != kExitOk) return status;
  // Read only: no unlock, no write.
  int differing = 0;
  for (const ConfigurationLine& line : read.lines) {
    const std::optional<std::uint16_t> value = ReadRegister16(session.Exchange(), line.address);
    if (value && *value == line.value) continue;
    ++differing;
    const RegisterInfo* info = RegisterAt(line.address);
    const std::string meaning = info != nullptr ? info->meaning : "(not in the register map)";
    char sensorValue[16] = "unreadable";
    if (value) std::snprintf(sensorValue, sizeof sensorValue, "%04x", static_cast<unsigned>(*value));
    std::printf("%02x  %s  sensor %s  file %04x\n", static_cast<unsigned>(line.address), meaning.c_str(), sensorValue,
                static_cast<unsigned>(line.value));
  }
  return differing == 0 ? kExitOk : kExitFailed;
}
