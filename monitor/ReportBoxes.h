#pragma once
// The reporting window's eighteen read-only boxes, top to bottom, and the
// text each shows for a record.

#include <array>
#include <string>

struct ReportRecord;

constexpr int kReportBoxes = 18;

struct ReportBoxInfo {
  const char* edit;    // the box: "Edit1" ... "Edit18"
  const char* label;   // its label in the window
  const char* column;  // its name in the command-line tool's header (one word)
};

// In the window's top-to-bottom order.
extern const std::array<ReportBoxInfo, kReportBoxes> kReportBoxInfo;

// The boxes' texts for a record, in the order of kReportBoxInfo: the
// counts "%d" (and "%i") of the received value, the temperatures "%5.2f" in
// degrees C, the oil value truncated toward zero, the calibrated values and
// corrections as signed 16-bit numbers, the status "%02x".
std::array<std::string, kReportBoxes> ReportBoxTexts(const ReportRecord& record);
