#pragma once
// What a page's "Set" action did, for callers that report it (the
// command-line tool); the window shows it in the box itself: a rejected
// entry turns the box yellow, a failed write turns its font red.

enum class SetOutcome {
  Written,    // the sensor acknowledged every byte written
  Rejected,   // the entry was refused; nothing was written
  Failed,     // a write was not acknowledged (or the box held no number)
};
