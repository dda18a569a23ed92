// bookloom: the window in which a book is put together and made.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "book/Startup.h"
#include "platform/FileSys.h"
#include "ui/MainWindow.h"
#include "ui/Translations.h"
#include "ui/UserDialogs.h"

namespace {

constexpr int kNoDisplayStatus = 3;

bool HaveDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* value = std::getenv(name);
    if (value && *value) return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (!HaveDisplay()) {
    // Only the message, in the user's language: no window opens.
    QCoreApplication app(argc, argv);
    const bookloom::Translations translations(QLocale::system());
    std::fputs(QCoreApplication::translate("main",
                                           "bookloom: no display is available (neither DISPLAY nor "
                                           "WAYLAND_DISPLAY is set), so the window cannot open.\nUse "
                                           "bookloom-cli to make books without a window.\n")
                   .toLocal8Bit()
                   .constData(),
               stderr);
    return kNoDisplayStatus;
  }
  try {
    bookloom::Startup units;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Bookloom"));
    const bookloom::Translations translations(QLocale::system());
    bookloom::QtUserDialogs messages;
    bookloom::MainWindow mainWindow(units.Libraries(), messages, bookloom::ExecutablePath());
    mainWindow.show();
    // A project or a Wolf book named on the command line, as the file manager passes it.
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1)
      bookloom::ReportErrors(messages, [&] { mainWindow.OpenFile(arguments[1].toStdU16String()); });
    return app.exec();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bookloom: %s\n", e.what());
    return 1;
  }
}
