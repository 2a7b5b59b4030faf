#include "tests/support/SensorSimProcess.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <regex>
#include <sstream>

SensorSimProcess::SensorSimProcess(const std::vector<std::string>& arguments) {
  int out[2];
  if (::pipe(out) != 0) return;
  pid_ = ::fork();
  if (pid_ == 0) {
    ::dup2(out[1], 1);
    ::close(out[0]);
    std::vector<std::string> argv = {OD_SIM_PATH};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<char*> args;
    for (std::string& a : argv) args.push_back(a.data());
    args.push_back(nullptr);
    ::execv(args[0], args.data());
    ::_exit(127);
  }
  ::close(out[1]);
  // The ready line comes within moments; a simulator that says nothing for
  // ten seconds has failed.
  pollfd fd = {out[0], POLLIN, 0};
  char c;
  while (::poll(&fd, 1, 10000) > 0 && ::read(out[0], &c, 1) == 1 && c != '\n') output_ += c;
  ::close(out[0]);
  if (output_.rfind("ready ", 0) == 0) device_ = output_.substr(6);
}

SensorSimProcess::~SensorSimProcess() { Stop(SIGTERM); }

int SensorSimProcess::Stop(int signal) {
  if (pid_ <= 0) return -1;
  ::kill(pid_, signal);
  int status = 0;
  for (int waited = 0; waited < 5000; waited += 5) {
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    ::usleep(5000);
  }
  ::kill(pid_, SIGKILL);
  ::waitpid(pid_, &status, 0);
  pid_ = -1;
  return -1;
}

std::vector<std::string> LoggedRequests(const std::string& logPath) {
  std::ifstream file(logPath);
  std::vector<std::string> requests;
  const std::regex request(R"re( text "([^"]*)")re");
  std::smatch match;
  for (std::string line; std::getline(file, line);) {
    if (std::regex_search(line, match, request)) requests.push_back(match[1]);
  }
  return requests;
}
