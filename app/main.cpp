// The configurator: creates every window once, in order, and runs the event
// loop until the main window closes.

#include <exception>

#include "app/QtApplication.h"
#include "app/QtLook.h"
#include "app/QtWindows.h"

int main(int argc, char** argv) {
  QtApplication application(argc, argv);
  QtApplication::setApplicationName(QStringLiteral("oil-debris-configurator"));
  try {
    RegisterFonts();
    QtWindows windows;
    QObject::connect(&windows.form1, &TForm1::Closed, &application, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    windows.form1.show();
    return QtApplication::exec();
  } catch (const std::exception& error) {
    QtApplication::ShowFatalError(QString::fromLocal8Bit(error.what()));
    return 1;
  }
}
