#include <QApplication>
#include <QIcon>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ui/form1.h"

namespace {

constexpr char kNeedsDisplay[] =
    "barcodes needs a graphical display, and none could be opened; "
    "to run it without one, use: xvfb-run -a barcodes\n";

// Qt ends the process with an abort when no platform plugin can start;
// say what is missing in one line and exit normally instead.
QtMessageHandler previousHandler = nullptr;
void OnQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtFatalMsg && message.contains(QLatin1String("platform plugin"))) {
    std::fputs(kNeedsDisplay, stderr);
    std::_Exit(EXIT_FAILURE);
  }
  const bool platformStartup =
      context.category && (std::strcmp(context.category, "qt.qpa.xcb") == 0 ||
                           std::strcmp(context.category, "qt.qpa.plugin") == 0);
  if (platformStartup &&
      (message.contains(QLatin1String("could not connect to display")) ||
       message.contains(QLatin1String("even though it was found"))))
    return;  // the fatal message that follows says it
  previousHandler(type, context, message);
}

}  // namespace

int main(int argc, char* argv[]) {
  previousHandler = qInstallMessageHandler(OnQtMessage);
  QApplication app(argc, argv);
  // The application name, not the display name, which Qt would append to
  // the window title: the title stays exactly "Form1".
  QApplication::setApplicationName(QStringLiteral("barcodes"));
  QApplication::setDesktopFileName(QStringLiteral(BARCODES_APP_ID));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/barcodes.svg")));
  ui::Form1 window;
  window.show();
  window.activateWindow();  // the value box has the focus from the start
  return QApplication::exec();
}
