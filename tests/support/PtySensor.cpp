#include "tests/support/PtySensor.h"

#include <algorithm>

PtySensor::PtySensor(Pty& pty, Answer answer)
    : pty_(pty), answer_(std::move(answer)), thread_([this] { Run(); }) {}

PtySensor::~PtySensor() {
  stop_ = true;
  thread_.join();
}

std::vector<std::uint8_t> PtySensor::Received() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return received_;
}

std::vector<std::string> PtySensor::Requests() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

void PtySensor::Run() {
  std::vector<std::uint8_t> pending;
  while (!stop_) {
    const std::vector<std::uint8_t> got = pty_.ReadFor(5);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      received_.insert(received_.end(), got.begin(), got.end());
    }
    pending.insert(pending.end(), got.begin(), got.end());
    for (;;) {
      const auto stx = std::find(pending.begin(), pending.end(), 0x02);
      const auto cr = std::find(stx, pending.end(), 0x0D);
      if (cr == pending.end()) break;
      const std::string text(stx + 1, cr);
      pending.erase(pending.begin(), cr + 1);
      {
        std::lock_guard<std::mutex> lock(mutex_);
        requests_.push_back(text);
      }
      const std::string reply = answer_(text);
      if (!reply.empty()) pty_.Write(std::vector<std::uint8_t>(reply.begin(), reply.end()));
    }
  }
}

std::string SensorReply(const std::string& body, std::size_t length) {
  std::string reply = "\n\r\x02" + body + "\r\n";
  if (reply.size() < length) reply.append(length - reply.size(), ' ');
  return reply;
}
