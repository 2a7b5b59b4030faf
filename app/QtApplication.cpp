#include "app/QtApplication.h"

#include <QIcon>
#include <QMessageBox>
#include <exception>

QtApplication::QtApplication(int& argc, char** argv) : QApplication(argc, argv) {
  // Every window carries the configurator's icon, as its menu entry does.
  setWindowIcon(QIcon(QStringLiteral(":/oil-debris-configurator.svg")));
  // The menu entry's name, so that the desktop ties the windows to it.
  setDesktopFileName(QStringLiteral("oil-debris-configurator"));
}

bool QtApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    ShowFatalError(QString::fromLocal8Bit(error.what()));
  } catch (...) {
    ShowFatalError(QStringLiteral("Unknown error"));
  }
  QCoreApplication::exit(1);
  return false;
}

void QtApplication::ShowFatalError(const QString& what) {
  QMessageBox::critical(nullptr, QCoreApplication::applicationName(), what);
}
