// The configurator: creates every window once, in order, and runs the event
// loop until the main window closes.

#include <exception>
#include <memory>

#include "app/QtApplication.h"
#include "app/QtLook.h"
#include "app/QtUserInterface.h"
#include "app/Unit1.h"
#include "app/Unit3.h"
#include "app/Unit8.h"
#include "config/Unit2.h"
#include "link/Clock.h"
#include "link/Comms.h"
#include "link/Commsthread.h"

int main(int argc, char** argv) {
  QtApplication application(argc, argv);
  application.setApplicationName(QStringLiteral("oil-debris-configurator"));
  try {
    RegisterFonts();
    SteadyClock clock;
    QtUserInterface user;

    TForm1 form1(clock, user);
    TFrmComms frmComms(&form1);
    TForm3 form3(&form1);
    TForm2 form2(form1.Exchange(), &form1);
    TForm8 form8(&form1);

    user.SetMainWindow(&form1);
    user.SetProgressWindow(&form3);
    user.SetStatusTimer(form1.Timer1());
    form1.SetPortDialog(&frmComms);
    form1.SetLanguageWindow(&form8);
    form2.AttachTo(form1);
    form1.SetChannelFactory(
        [](const PortMap& ports) -> std::unique_ptr<Channel> { return std::make_unique<TCommsThread>(ports); });
    QObject::connect(&form1, &TForm1::Closed, &application, &QCoreApplication::quit, Qt::QueuedConnection);

    form1.show();
    return QtApplication::exec();
  } catch (const std::exception& error) {
    QtApplication::ShowFatalError(QString::fromLocal8Bit(error.what()));
    return 1;
  }
}
