// The window tests' main: a QApplication on the offscreen platform and the program's units.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "book/Startup.h"

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  ::testing::InitGoogleTest(&argc, argv);
  bookloom::Startup units;
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Bookloom"));
  return RUN_ALL_TESTS();
}
