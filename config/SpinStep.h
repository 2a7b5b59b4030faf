#pragma once
// A spin step of the Debris page's spin buttons: it only edits the box, and
// nothing reaches the sensor until "Set". Steps that follow the previous
// one (of any spin button) within 200 ms count as one held press: the first
// six go by 1, from the seventh on by 10 to a multiple of ten, up
// ((value + 10) / 10) x 10, down ((value - 10) / 10) x 10, dividing toward
// zero (from -243 a fast step down gives -250, up -230). A box whose text
// does not start with a number (read with "%i") steps from 0.

#include <string>

enum class SpinDirection { Up, Down };

// The new value of a box holding `text`; `recent` tells whether the
// previous step was less than 200 ms ago. `clickCount` is the counter all
// spin buttons share.
int SpinStep(int& clickCount, const std::string& text, SpinDirection direction, bool recent);

// The box's text after the step: "%i" of the new value.
std::string SpinStepText(int& clickCount, const std::string& text, SpinDirection direction, bool recent);
