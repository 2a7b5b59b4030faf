#include "app/QtWindows.h"

#include <memory>

#include "app/QtLook.h"
#include "link/Commsthread.h"

void WireConfigureWindow(TForm1& form1, TForm2& form2) {
  form1.hooks.configure = [&form2] {
    form2.show();
    form2.raise();
    form2.activateWindow();
  };
  form1.AddLanguageApplier([&form2] { form2.ApplyLanguage(); });
  form1.hooks.sensorWindowOpen = [&form2] { return form2.isVisible(); };
}

void WireReportingWindow(TForm1& form1, QtUserInterface& user, TForm4& form4) {
  form1.hooks.reporting = [&form4] {
    form4.show();
    form4.raise();
    form4.activateWindow();
  };
  user.startReportingPoll = [&form4] { form4.StartPoll(); };
  user.stopReportingPoll = [&form4] { form4.StopPoll(); };
  user.reportingVisible = [&form4] { return form4.isVisible(); };
  // The program is ending: no poll may follow the main window's last command.
  QObject::connect(&form1, &TForm1::Closed, &form4, [&form4] { form4.Timer1()->stop(); });
}

void WireAboutWindow(TForm1& form1, TForm7& form7) {
  form1.hooks.about = [&form7] {
    form7.show();
    form7.raise();
    form7.activateWindow();
  };
  form1.AddLanguageApplier([&form7] { form7.ApplyLanguage(); });
}

QtWindows::QtWindows() {
  user.SetMainWindow(&form1);
  user.SetProgressWindow(&form3);
  user.SetStatusTimer(form1.Timer1());
  form1.hooks.chooseLanguage = [this] { form8.exec(); };
  form1.hooks.choosePort = [this](const std::vector<int>& openPorts, const PortMap& ports) {
    const NormalCursor normal;  // the search waits for the user here
    return frmComms.ChoosePort(openPorts, ports);
  };
  form1.SetChannelFactory(
      [](const PortMap& ports) -> std::unique_ptr<Channel> { return std::make_unique<TCommsThread>(ports); });
  WireConfigureWindow(form1, form2);
  WireReportingWindow(form1, user, form4);
  WireAboutWindow(form1, form7);
}
