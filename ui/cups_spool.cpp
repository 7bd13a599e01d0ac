// Hands a finished page to CUPS, the system's print spooler.
#include <cups/cups.h>

#include <QFile>

#include "ui/qt_surface.h"

namespace ui {

QString SpoolToCups(const QString& destination, const QString& pdf, const QString& title) {
  // A destination "queue/instance" prints on the queue.
  const QByteArray queue = destination.section(u'/', 0, 0).toLocal8Bit();
  const int job = cupsPrintFile(queue.constData(), QFile::encodeName(pdf).constData(),
                                title.toUtf8().constData(), 0, nullptr);
  if (job > 0) return {};
  return QString::fromUtf8(cupsLastErrorString());
}

bool SpoolerRunning() {
  http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                              2000, nullptr);
  if (!http) return false;
  httpClose(http);
  return true;
}

}  // namespace ui
