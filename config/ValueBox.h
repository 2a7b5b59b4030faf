#pragma once
// A control of the configure window as the converters see it: a text box or
// a spin box. The windows implement it over their widgets; tests over plain
// fields. Texts are UTF-8.

#include <string>

enum class FontColour { Black, Red };
enum class Background { Normal, Yellow };

class ValueBox {
 public:
  virtual ~ValueBox() = default;

  virtual std::string Text() const = 0;
  virtual void SetText(const std::string& text) = 0;
  // Black after a successful read or write, red after a failed one.
  virtual void SetFontColour(FontColour colour) = 0;
  // Yellow when a validated entry was rejected, normal when it was accepted.
  virtual void SetBackground(Background background) = 0;

  // Spin boxes only: the value, which the box keeps within its own limits.
  virtual int SpinValue() const = 0;
  virtual void SetSpinValue(int value) = 0;
};
