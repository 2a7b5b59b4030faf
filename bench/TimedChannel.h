#pragma once
// A channel that passes everything on to the sensor's channel and notes,
// for every bootloader write request, when it went out, how long its frame
// was, and when the waiting side last looked at its reply (the look that
// ended the wait), with the bytes it counted then.

#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

#include "link/Channel.h"

class TimedChannel : public Channel {
 public:
  struct WriteRequest {
    std::int64_t sentUs = 0;
    std::int64_t seenUs = -1;
    std::size_t frameBytes = 0;
    int replyBytes = 0;
  };

  explicit TimedChannel(std::unique_ptr<Channel> inner) : inner_(std::move(inner)) {}

  bool OpenPort(int port, int baud) override { return inner_->OpenPort(port, baud); }
  bool ClosePort() override { return inner_->ClosePort(); }
  bool SetBaud(int baud) override { return inner_->SetBaud(baud); }
  int LineRate() const override { return inner_->LineRate(); }
  void StartReader() override { inner_->StartReader(); }
  void Flush() override { inner_->Flush(); }
  std::size_t CopyOut(std::uint8_t* destination, std::size_t capacity) const override {
    return inner_->CopyOut(destination, capacity);
  }

  int Available() const override { return Looked(inner_->Available()); }
  int WaitForCount(int atLeast, std::int64_t timeoutUs) override {
    return Looked(inner_->WaitForCount(atLeast, timeoutUs));
  }

  bool WriteBytes(const std::uint8_t* data, std::size_t n) override {
    // The command byte follows the start byte; 0x03 never needs escaping.
    awaiting_ = n > 2 && data[0] == 0x01 && data[1] == 0x03;
    if (awaiting_) requests_.push_back({NowUs(), -1, n, 0});
    return inner_->WriteBytes(data, n);
  }

  const std::vector<WriteRequest>& Requests() const { return requests_; }

  // A write request's reply is at least 5 bytes; the wait ends at the last
  // look before the next request.
  int Looked(int count) const {
    if (awaiting_ && count >= 5) {
      requests_.back().seenUs = NowUs();
      requests_.back().replyBytes = count;
    }
    return count;
  }

  static std::int64_t NowUs() {
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }

 private:
  std::unique_ptr<Channel> inner_;
  // Available is a const look at the line; what it notes is bookkeeping.
  mutable bool awaiting_ = false;
  mutable std::vector<WriteRequest> requests_;
};
