#include "sim/SensorSim.h"

#include <poll.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace {

// How often the line rate is looked at while nothing happens: bytes are
// judged by the rate in force when they arrived or just before, so a rate
// changed right after a write does not spoil the bytes already written.
constexpr auto kRateSampling = std::chrono::milliseconds(5);
constexpr int kBitsPerByte = 10;  // start bit, 8 data bits, stop bit

timespec ToTimespec(std::chrono::nanoseconds span) {
  if (span.count() < 0) span = std::chrono::nanoseconds(0);
  timespec t{};
  t.tv_sec = static_cast<time_t>(span.count() / 1'000'000'000);
  t.tv_nsec = static_cast<long>(span.count() % 1'000'000'000);
  return t;
}

}  // namespace

SensorSim::SensorSim(const SimOptions& options, PtyAttachment& pty, RequestLog& log)
    : options_(options),
      pty_(pty),
      log_(log),
      commands_(options.firmwarePart, options.firmwareVersion, options.seed, options.lockedWrites),
      faults_(options),
      bootloader_(options.eraseMs, options.writeMs, options.bootSilent),
      mode_(options.startInBootloader ? Mode::kBootloader : Mode::kApplication) {}

SensorSim::Clock::duration SensorSim::ByteTime() const {
  return std::chrono::duration_cast<Clock::duration>(std::chrono::nanoseconds(1'000'000'000LL * kBitsPerByte) /
                                                     ModeRate());
}

int SensorSim::Run(int signalDescriptor) {
  previousRate_ = pty_.LineRate();
  log_.Line(std::string("started in the ") + (mode_ == Mode::kApplication ? "application" : "bootloader") + " on " +
            pty_.SlavePath());
  for (;;) {
    Clock::time_point now = Clock::now();
    WriteDueOutput(now);
    FeedCrossedInput(now);
    HandleReadyRequests(now);
    WriteDueOutput(now);

    now = Clock::now();
    const timespec timeout = ToTimespec(NextWake(now) - now);
    pollfd watched[3] = {
        {pty_.MasterDescriptor(), POLLIN, 0}, {pty_.WatchDescriptor(), POLLIN, 0}, {signalDescriptor, POLLIN, 0}};
    const int ready = ::ppoll(watched, 3, &timeout, nullptr);
    if (ready < 0) continue;  // interrupted; the signals themselves come through the descriptor
    if (watched[2].revents & POLLIN) {
      signalfd_siginfo info{};
      if (::read(signalDescriptor, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
        log_.Line("stopped by signal " + std::to_string(info.ssi_signo));
      }
      return 0;
    }
    if (watched[1].revents & POLLIN) {
      if (pty_.TakeWatchEvents()) log_.Line("port closed by its last user");
    }
    now = Clock::now();
    if (watched[0].revents & POLLIN) {
      TakeLineBytes(now);
    } else {
      previousRate_ = pty_.LineRate();
    }
  }
}

SensorSim::Clock::time_point SensorSim::NextWake(Clock::time_point now) const {
  Clock::time_point next = now + kRateSampling;
  if (!output_.empty()) next = std::min(next, output_.front().at);
  if (!input_.empty()) next = std::min(next, input_.front().at);
  if (!requests_.empty()) next = std::min(next, std::max(requests_.front().readyAt, busyUntil_));
  return next;
}

void SensorSim::TakeLineBytes(Clock::time_point now) {
  std::uint8_t chunk[512];
  const int rate = pty_.LineRate();
  const bool rightRate = rate == ModeRate() || previousRate_ == ModeRate();
  previousRate_ = rate;
  std::size_t n = 0;
  std::size_t ignored = 0;
  while ((n = pty_.Read(chunk, sizeof chunk)) > 0) {
    if (!rightRate) {
      ignored += n;
      continue;
    }
    for (std::size_t i = 0; i < n; ++i) {
      Clock::time_point crossed = now;
      if (options_.pace) {
        crossed = std::max(now, inputFreeAt_) + ByteTime();
        inputFreeAt_ = crossed;
      }
      input_.push_back({chunk[i], crossed});
    }
  }
  if (ignored > 0) {
    // A receiver at the wrong rate sees only noise; whatever request was
    // being received is lost with it.
    textReader_.Reset();
    frameReader_.Reset();
    log_.Line("ignored " + std::to_string(ignored) + " bytes at " + std::to_string(rate) + " baud");
  }
}

void SensorSim::FeedCrossedInput(Clock::time_point now) {
  while (!input_.empty() && input_.front().at <= now) {
    const TimedByte in = input_.front();
    input_.pop_front();
    if (mode_ == Mode::kApplication) {
      if (auto text = textReader_.Feed(in.byte)) requests_.push_back({*text, in.at});
    } else if (auto frame = frameReader_.Feed(in.byte)) {
      requests_.push_back({*frame, in.at});
    }
  }
}

void SensorSim::HandleReadyRequests(Clock::time_point now) {
  while (!requests_.empty() && requests_.front().readyAt <= now && busyUntil_ <= now) {
    const Request request = requests_.front();
    requests_.pop_front();
    if (const auto* text = std::get_if<std::string>(&request.content)) {
      HandleText(*text, now);
    } else {
      HandleFrame(std::get<ReceivedFrame>(request.content), now);
    }
  }
}

void SensorSim::HandleText(const std::string& text, Clock::time_point now) {
  TextAnswer answer = commands_.Answer(text);
  faults_.Apply(text, answer);
  std::string line = "text \"" + text + "\"";
  if (!answer.note.empty()) line += " (" + answer.note + ")";
  if (!answer.reply.empty()) {
    line += " -> " + std::to_string(answer.reply.size()) + " bytes \"" + RequestLog::Printable(answer.reply) + "\"";
    if (options_.delayMs > 0) line += " after " + std::to_string(options_.delayMs) + " ms";
  }
  log_.Line(line);
  if (!answer.reply.empty()) Send(answer.reply, now + std::chrono::milliseconds(options_.delayMs));
  if (answer.enterBootloader) SwitchTo(Mode::kBootloader);
}

void SensorSim::HandleFrame(const ReceivedFrame& frame, Clock::time_point now) {
  const BootAnswer answer = bootloader_.Handle(frame);
  std::string line = "boot bytes=" + std::to_string(frame.payload.size()) + " " + answer.note;
  if (answer.busyMs > 0) line += " busy " + std::to_string(answer.busyMs) + " ms";
  line += answer.reply.empty() ? " -> no answer" : " -> " + std::to_string(answer.reply.size()) + " bytes";
  log_.Line(line);
  busyUntil_ = now + std::chrono::milliseconds(answer.busyMs);
  if (!answer.reply.empty()) Send(answer.reply, busyUntil_);
  if (answer.startApplication) {
    DumpFlash();
    commands_.Restart();
    SwitchTo(Mode::kApplication);
  }
}

void SensorSim::Send(const std::vector<std::uint8_t>& reply, Clock::time_point start) {
  Clock::time_point at = std::max(start, outputFreeAt_);
  for (const std::uint8_t byte : reply) {
    // With --pace a byte is out once its ten bits have crossed the line.
    if (options_.pace) at += ByteTime();
    output_.push_back({byte, at});
  }
  outputFreeAt_ = at;
}

void SensorSim::WriteDueOutput(Clock::time_point now) {
  std::vector<std::uint8_t> due;
  while (!output_.empty() && output_.front().at <= now) {
    due.push_back(output_.front().byte);
    output_.pop_front();
  }
  if (!due.empty()) pty_.Write(due.data(), due.size());
}

void SensorSim::SwitchTo(Mode mode) {
  mode_ = mode;
  textReader_.Reset();
  frameReader_.Reset();
  input_.clear();
  requests_.clear();
  log_.Line(mode == Mode::kApplication ? "application running at 19200 baud" : "bootloader listening at 57600 baud");
}

void SensorSim::DumpFlash() const {
  if (options_.dumpFlashPath.empty()) return;
  std::FILE* file = std::fopen(options_.dumpFlashPath.c_str(), "w");
  if (file == nullptr) return;
  std::fputs(bootloader_.Flash().Describe().c_str(), file);
  std::fclose(file);
}
