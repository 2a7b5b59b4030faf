#pragma once
// A control of the configure window as the converters see it. The windows
// implement these over their widgets; the command-line tool and tests use
// plain fields. Texts are UTF-8.

#include <cstdint>
#include <map>
#include <string>

enum class FontColour { Black, Red };
enum class Background { Normal, Yellow };

// A text box (or a drop-down box that accepts typed text).
class ValueBox {
 public:
  virtual ~ValueBox() = default;

  virtual std::string Text() const = 0;
  virtual void SetText(const std::string& text) = 0;
  // Black after a successful read or write, red after a failed one.
  virtual void SetFontColour(FontColour colour) = 0;
  // Yellow when a validated entry was rejected, normal when it was accepted.
  virtual void SetBackground(Background background) = 0;
};

// A spin box: a number that the box keeps within its own limits.
class SpinBox {
 public:
  virtual ~SpinBox() = default;

  virtual int Value() const = 0;
  virtual void SetValue(int value) = 0;
  virtual void SetFontColour(FontColour colour) = 0;
};

// A value box of plain fields: what a register shows where no window does.
struct PlainValueBox : ValueBox {
  std::string text;
  FontColour font = FontColour::Black;
  Background background = Background::Normal;

  std::string Text() const override { return text; }
  void SetText(const std::string& t) override { text = t; }
  void SetFontColour(FontColour colour) override { font = colour; }
  void SetBackground(Background b) override { background = b; }
};

// The boxes that show the registers of the register map, by address: the
// configure window's controls, or plain boxes.
class RegisterBoxes {
 public:
  virtual ~RegisterBoxes() = default;
  virtual ValueBox& Box(std::uint16_t address) = 0;
};

// One plain box per address, made when first asked for.
class PlainRegisterBoxes : public RegisterBoxes {
 public:
  ValueBox& Box(std::uint16_t address) override { return boxes_[address]; }
  PlainValueBox& Plain(std::uint16_t address) { return boxes_[address]; }

 private:
  std::map<std::uint16_t, PlainValueBox> boxes_;
};
