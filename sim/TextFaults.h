#pragma once
// The faults the simulator can show on the text protocol, applied to the
// answer the sensor would have given: silence (always, after N requests, or
// for some commands), replies one byte short of their count, and a wrong
// command letter in the live-data replies.

#include <set>
#include <string>

#include "sim/SimOptions.h"
#include "sim/TextCommands.h"

class TextFaults {
 public:
  explicit TextFaults(const SimOptions& options);

  // Counts the request and spoils `answer` as the switches say.
  void Apply(const std::string& request, TextAnswer& answer);

 private:
  bool silent_;
  long silentAfter_;
  bool shortReplies_;
  bool garble_;
  std::set<std::string> noAck_;
  long requests_ = 0;
};
