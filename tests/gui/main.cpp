// The window tests run offscreen in one application with the fonts the
// configurator registers at start-up.

#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "app/QtLook.h"

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication application(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  RegisterFonts();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
