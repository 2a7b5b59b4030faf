#pragma once
// The configurator's windows, created once at start-up in their fixed order
// (main window, port dialog, progress window, configure window, reporting
// window, About window, language window) over one session with the sensor,
// and wired to each other here and only here: each window knows the session
// and nothing of the others. They live until the program ends.

#include "app/QtUserInterface.h"
#include "app/Unit1.h"
#include "app/Unit3.h"
#include "app/Unit7.h"
#include "app/Unit8.h"
#include "config/Session.h"
#include "config/Unit2.h"
#include "link/Clock.h"
#include "link/Comms.h"
#include "monitor/Unit4.h"

// Sensor > Configure shows the configure window (inside the main window's
// exchange) and the language step reaches it.
void WireConfigureWindow(TForm1& form1, TForm2& form2);
// Sensor > Reporting shows the reporting window, whose poll the acknowledged
// command stops and restarts while it is visible.
void WireReportingWindow(TForm1& form1, QtUserInterface& user, TForm4& form4);
// Help > About shows the About window; the language step sets its title.
void WireAboutWindow(TForm1& form1, TForm7& form7);

class QtWindows {
 public:
  QtWindows();
  QtWindows(const QtWindows&) = delete;
  QtWindows& operator=(const QtWindows&) = delete;

  SteadyClock clock;
  QtUserInterface user;
  Session session{clock, user};
  TForm1 form1{session};
  TFrmComms frmComms{&form1};
  TForm3 form3{&form1};
  TForm2 form2{session, &form1};
  TForm4 form4{session, &form1};
  TForm7 form7{session.Link(), &form1};
  TForm8 form8{&form1};
};
