// The program: picks the display, then shows the window, which prints on the
// system's default printer.
#include <QApplication>
#include <QIcon>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/linux/startup.h"
#include "ui/linux/cups/print_job.h"
#include "ui/linux/qt/form1.h"

namespace {

app::Displays displays;
std::string programPath;
bool xUnreachable = false;

// Qt ends the process with an abort when no platform plugin can start;
// say in one line what is missing and exit normally instead.
QtMessageHandler previousHandler = nullptr;
void OnQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtFatalMsg && message.contains(QLatin1String("platform plugin"))) {
    const std::string line =
        app::StartFailure(displays, message.toStdString(), xUnreachable, programPath) + "\n";
    std::fputs(line.c_str(), stderr);
    std::_Exit(EXIT_FAILURE);
  }
  const bool platformStartup =
      context.category && (std::strcmp(context.category, "qt.qpa.xcb") == 0 ||
                           std::strcmp(context.category, "qt.qpa.plugin") == 0);
  if (platformStartup && message.contains(QLatin1String("could not connect to display"))) {
    xUnreachable = true;
    return;  // said by the fatal message that follows, or moot when Wayland starts
  }
  if (platformStartup && (message.contains(QLatin1String("even though it was found")) ||
                          message.contains(QLatin1String("Could not find the Qt platform plugin"))))
    return;  // the same
  // Qt 6.5 and later add, whenever the xcb plugin fails, that it needs
  // libxcb-cursor0. With no X display to connect to, that is not why: the
  // one line says what is.
  if (platformStartup && (xUnreachable || displays.x.empty()) &&
      message.contains(QLatin1String("xcb-cursor0")))
    return;
  previousHandler(type, context, message);
}

}  // namespace

int main(int argc, char* argv[]) {
  displays = app::FindDisplays();
  programPath = app::ProgramPath(argc > 0 ? argv[0] : nullptr);
  const std::string platforms = app::PreferredPlatforms(displays);
  if (!platforms.empty() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", QByteArray::fromStdString(platforms));
  previousHandler = qInstallMessageHandler(OnQtMessage);
  QApplication app(argc, argv);
  // The application name, not the display name, which Qt would append to
  // the window title: the title stays exactly "Form1".
  QApplication::setApplicationName(QStringLiteral("barcodes"));
  QApplication::setDesktopFileName(QStringLiteral(BARCODES_APP_ID));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/barcodes.svg")));
  ui::Form1 window(ui::PrintOnDefaultPrinter);
  window.show();
  window.activateWindow();  // the value box has the focus from the start
  return QApplication::exec();
}
