#pragma once
// The CAN and PGN/ID pages of the configure window: the J1939 NAME fields
// and the identifier fields, each shown "%04x" in its register box with
// ShowHex16, and the NAME, PGN and CAN identifier composed from them. The
// composed texts go to boxes that hold no register (Edit28, Edit33, Edit34):
// the procedures return them.

#include <cstdint>
#include <optional>
#include <string>

#include "config/J1939.h"
#include "config/Session.h"
#include "config/SetOutcome.h"

struct NameReading {
  J1939NameFields fields;  // as read, reduced to their widths; 0 where a read failed
  std::uint64_t name = 0;
  std::string text;        // for Edit28
};

struct PgnReading {
  std::uint32_t dataPage = 0;
  std::uint32_t pduFormat = 0;
  std::uint32_t pduSpecific = 0;
  std::uint32_t pgn = 0;
  std::string text;        // for Edit33
};

struct CanIdReading {
  PgnReading pgn;
  std::uint32_t priority = 0;
  std::uint32_t address = 0;
  std::uint32_t id = 0;
  std::string text;        // for Edit34
};

// Sets BulkReadActive (it stays set: later single reads leave the status
// poll alone), stops the status poll, 50 ms, reads 00B0, 00B4, 00B6, 00BA,
// 00BC, 00BE, 00C4, 00C2, 00C0 into their boxes, starts the poll again.
NameReading ReadName(Session& session);

// 20 ms before each of data page (00CC), PDU format (00CA) and PDU specific
// (00C8). Only ReadCanId runs it.
PgnReading ReadPgn(Session& session);

// Sets BulkReadActive, stops the status poll, 50 ms, ReadPgn, then 20 ms
// before each of priority (00C6) and address (00B8); starts the poll again.
CanIdReading ReadCanId(Session& session);

// A field's "Set": SetMaskedHex16 of its box with the field's mask, 20 ms,
// then ReadName (NAME fields) or ReadCanId (identifier fields); after the
// ECU Instance and Function Instance only, 50 ms more and "Z".
struct J1939SetResult {
  SetOutcome outcome = SetOutcome::Failed;
  std::optional<NameReading> name;
  std::optional<CanIdReading> canId;
};
J1939SetResult SetJ1939Field(Session& session, std::uint16_t address);

// Whether the register is one of the J1939 fields (the CAN or PGN/ID page).
bool IsJ1939Field(std::uint16_t address);
