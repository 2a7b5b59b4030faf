#pragma once
// The configurator's windows, created once at start-up in their fixed order
// (main window, port dialog, progress window, configure window, language
// window) and wired to each other, the steady clock, the Qt user interface
// and the serial ports. They live until the program ends. The reporting and
// About windows join here, after the configure window, as they arrive.

#include "app/QtUserInterface.h"
#include "app/Unit1.h"
#include "app/Unit3.h"
#include "app/Unit8.h"
#include "config/Unit2.h"
#include "link/Clock.h"
#include "link/Comms.h"

class QtWindows {
 public:
  QtWindows();
  QtWindows(const QtWindows&) = delete;
  QtWindows& operator=(const QtWindows&) = delete;

  SteadyClock clock;
  QtUserInterface user;
  TForm1 form1{clock, user};
  TFrmComms frmComms{&form1};
  TForm3 form3{&form1};
  TForm2 form2{form1.Exchange(), &form1};
  TForm8 form8{&form1};
};
