#include "app/Versions.h"

#include <cstdio>

namespace {
std::string VersionText(const char* prefix, std::uint32_t part, std::uint32_t version) {
  char text[48];
  std::snprintf(text, sizeof text, "%s-%u.%03u", prefix, static_cast<unsigned>(part), static_cast<unsigned>(version));
  return text;
}
}  // namespace

std::string GuiVersionText() { return VersionText("GUI", kGuiPart, kGuiVersion); }

std::string FirmwareVersionText(std::uint32_t part, std::uint32_t version) { return VersionText("FW", part, version); }
