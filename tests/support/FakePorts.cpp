#include "tests/support/FakePorts.h"

namespace {

class FakePort : public FakeChannel {
 public:
  FakePort(VirtualClock& clock, FakePorts& ports) : FakeChannel(clock), ports_(ports) {}

  bool WriteBytes(const std::uint8_t* data, std::size_t n) override {
    const bool ok = FakeChannel::WriteBytes(data, n);
    ports_.records[port].writes.push_back(writes.back());
    return ok;
  }

  bool ClosePort() override {
    ++ports_.records[port].closes;
    return FakeChannel::ClosePort();
  }

  bool OpenPort(int p, int b) override {
    if (ports_.existing.count(p) == 0) return false;
    FakeChannel::OpenPort(p, b);
    ports_.records[p];
    if (ports_.answering.count(p) != 0) {
      responder = [this](const Written& w) { return ports_.sensor.Answer(w); };
    }
    return true;
  }

 private:
  FakePorts& ports_;
};

}  // namespace

std::vector<std::string> PortRecord::Texts() const {
  std::vector<std::string> texts;
  for (const Written& w : writes) texts.push_back(w.Text());
  return texts;
}

std::unique_ptr<Channel> FakePorts::Make() { return std::make_unique<FakePort>(clock_, *this); }
