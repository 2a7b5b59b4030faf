#pragma once
// The configurator's own texts beside the 234 entries of the string table:
// advice for cases the table has no words for. They follow the chosen
// language like the table does.

#include <string>
#include <vector>

#include "link/PortRefusal.h"

enum class OwnText {
  // "The serial device %s may not be opened by your user. ..." (dialout)
  PermissionDenied,
  // "The serial device %s is held by another program. ..."
  HeldByAnotherProgram,
};

// The text in the current language, with `device` put in its place.
std::string OwnTextOf(OwnText text, const std::string& device);

// The paragraphs the no-port message gets for the devices that were
// refused for permission or held by another program (none for other
// reasons), one per device, each preceded by two line breaks.
std::string RefusalAdvice(const std::vector<PortRefusal>& refusals);
