#include "app/QtWindows.h"

#include <memory>

#include "link/Commsthread.h"

void WireConfigureWindow(TForm1& form1, TForm2& form2) {
  form1.hooks.configure = [&form2] {
    form2.show();
    form2.raise();
    form2.activateWindow();
  };
  form1.AddLanguageApplier([&form2] { form2.ApplyLanguage(); });
}

QtWindows::QtWindows() {
  user.SetMainWindow(&form1);
  user.SetProgressWindow(&form3);
  user.SetStatusTimer(form1.Timer1());
  form1.SetPortDialog(&frmComms);
  form1.SetLanguageWindow(&form8);
  form1.SetChannelFactory(
      [](const PortMap& ports) -> std::unique_ptr<Channel> { return std::make_unique<TCommsThread>(ports); });
  WireConfigureWindow(form1, form2);
}
