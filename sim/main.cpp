// The simulated sensor; see sim/README.md.
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "sim/PtyAttachment.h"
#include "sim/RequestLog.h"
#include "sim/SensorSim.h"
#include "sim/SimOptions.h"

int main(int argc, char** argv) {
  const char* home = std::getenv("HOME");
  const ParsedOptions parsed =
      ParseSimOptions(std::vector<std::string>(argv + 1, argv + argc), home != nullptr ? home : "");
  if (!parsed.ok) {
    std::fprintf(stderr, "oil-debris-sensor-sim: %s\n(see --help)\n", parsed.error.c_str());
    return 2;
  }
  const SimOptions& options = parsed.options;
  if (options.help) {
    std::fputs(SimUsage().c_str(), stdout);
    return 0;
  }

  // The stop signals are taken through a descriptor by the main loop, so
  // that the link is removed on the way out.
  sigset_t stops;
  sigemptyset(&stops);
  sigaddset(&stops, SIGINT);
  sigaddset(&stops, SIGTERM);
  sigaddset(&stops, SIGHUP);
  sigprocmask(SIG_BLOCK, &stops, nullptr);
  signal(SIGPIPE, SIG_IGN);
  const int signals = signalfd(-1, &stops, SFD_CLOEXEC);
  if (signals < 0) {
    std::perror("oil-debris-sensor-sim: signalfd");
    return 1;
  }

  RequestLog log;
  if (!options.logPath.empty() && !log.Open(options.logPath)) {
    std::fprintf(stderr, "oil-debris-sensor-sim: cannot write %s\n", options.logPath.c_str());
    return 1;
  }
  PtyAttachment pty;
  const std::string failure = pty.Attach(options.LinkPathToCreate());
  if (!failure.empty()) {
    std::fprintf(stderr, "oil-debris-sensor-sim: %s\n", failure.c_str());
    return 1;
  }

  SensorSim sim(options, pty, log);
  std::printf("ready %s\n", pty.SlavePath().c_str());
  std::fflush(stdout);
  const int status = sim.Run(signals);
  sim.DumpFlash();
  pty.Detach();
  close(signals);
  return status;
}
