#pragma once
// The register sensor answering over a pseudo-terminal, for the tool's
// end-to-end tests.

#include <string>
#include <vector>

#include "tests/support/PtySensor.h"
#include "tests/support/RegisterSensor.h"

class PtyRegisterSensor : public RegisterSensor {
 public:
  explicit PtyRegisterSensor(Pty& pty) : sensor_(pty, [this](const std::string& request) { return Answer(request); }) {}
  std::vector<std::string> Commands() const { return sensor_.Requests(); }

 private:
  PtySensor sensor_;
};
