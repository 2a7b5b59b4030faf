#pragma once
// The configurator's application object. An error that escapes an event
// handler is shown in the platform's standard error box and ends the program,
// instead of unwinding through the toolkit's event loop.

#include <QApplication>

class QtApplication : public QApplication {
  Q_OBJECT

 public:
  QtApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;

  // The platform's error box for an error that ends the program.
  static void ShowFatalError(const QString& what);
};
