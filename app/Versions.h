#pragma once
// The version texts of the About window: the configurator's own part number
// and version, and the firmware's as the last identification of the sensor
// gave them. The command-line tool's identify prints the same text.

#include <cstdint>
#include <string>

constexpr unsigned kGuiPart = 5824;
constexpr unsigned kGuiVersion = 111;

// "GUI-5824.111".
std::string GuiVersionText();
// "FW-%u.%03u" of the part number and version: FW-0.000 before any
// identification, FW-5819.007 for version 7, FW-5819.1234 for 1234.
std::string FirmwareVersionText(std::uint32_t part, std::uint32_t version);
