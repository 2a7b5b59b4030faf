#include "tests/support/SessionFixture.h"

FakeSession::FakeSession(UserInterface& user) : session(clock, user) {
  auto owned = std::make_unique<FakeChannel>(clock);
  owned->OpenPort(kPort, kTextBaud);
  channel = owned.get();
  channel->responder = [this](const Written& w) { return sensor.Answer(w); };
  session.UseChannel(kPort, std::move(owned));
}

std::vector<std::string> FakeSession::Sent() const {
  const std::vector<std::string> all = channel->Texts();
  return std::vector<std::string>(all.begin() + static_cast<long>(forgotten_), all.end());
}

void FakeSession::Forget() { forgotten_ = channel->writes.size(); }
