#include "app/QtWindows.h"

#include <memory>

#include "link/Commsthread.h"

QtWindows::QtWindows() {
  user.SetMainWindow(&form1);
  user.SetProgressWindow(&form3);
  user.SetStatusTimer(form1.Timer1());
  form1.SetPortDialog(&frmComms);
  form1.SetLanguageWindow(&form8);
  form2.AttachTo(form1);
  form1.SetChannelFactory(
      [](const PortMap& ports) -> std::unique_ptr<Channel> { return std::make_unique<TCommsThread>(ports); });
}
