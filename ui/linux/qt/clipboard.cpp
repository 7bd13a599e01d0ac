// The copied picture drawn by the print routine over the QPainter surface:
// on Qt's SVG generator and on a 300 dpi image.
#include "ui/linux/qt/clipboard.h"

#include <QBuffer>
#include <QMimeData>
#include <QPainter>
#include <QSvgGenerator>

#include "ui/core/copied_picture.h"
#include "ui/core/screen_painter.h"
#include "ui/core/text.h"
#include "ui/linux/qt/qt_surface.h"
#include "ui/linux/qt/qt_text.h"

namespace ui {

QByteArray CopiedSvg(const FormState& state) {
  QBuffer svg;
  svg.open(QIODevice::WriteOnly);
  QSvgGenerator generator;
  generator.setOutputDevice(&svg);
  generator.setResolution(kTwipsPerInch);
  generator.setSize(QSize(kCopyWidth, kCopyHeight));
  generator.setViewBox(QRect(0, 0, kCopyWidth, kCopyHeight));
  generator.setTitle(QStringLiteral("Barcodes"));
  // The description says the value's characters: written in below as
  // character data, since the generator writes what it is given as it is,
  // markup and all.
  generator.setDescription(QStringLiteral("Barcodes"));
  QPainter painter(&generator);
  QtPainterSurface surface(painter, generator, {}, QSizeF(kCopyWidth, kCopyHeight),
                           QtPainterSurface::Boxes::kOnDotGrid);
  DrawCopy(surface, state);
  painter.end();
  return QByteArray(svg.data()).replace(
      "<desc>Barcodes</desc>",
      "<desc>" + QByteArray::fromStdString(XmlText(DescribePicture(state))) + "</desc>");
}

QImage CopiedImage(const FormState& state) {
  // Drawn one bit a dot from the start: a deeper image, converted, would
  // cost some 10 MB on the way.
  QImage dots(kCopyDotsWide, kCopyDotsHigh, QImage::Format_Mono);
  dots.setDotsPerMeterX(kCopyDotsPerMetre);
  dots.setDotsPerMeterY(kCopyDotsPerMetre);
  dots.fill(Qt::white);
  QPainter painter(&dots);
  QtPainterSurface surface(painter, dots, {}, QSizeF(dots.size()),
                           QtPainterSurface::Boxes::kOnDotGrid);
  DrawCopy(surface, state);
  painter.end();
  return dots;
}

QMimeData* CopiedData(const FormState& state) {
  auto* data = new QMimeData;
  data->setData(QStringLiteral("image/svg+xml"), CopiedSvg(state));
  QBuffer png;
  png.open(QIODevice::WriteOnly);
  CopiedImage(state).save(&png, "PNG");
  data->setData(QStringLiteral("image/png"), png.data());
  data->setText(Qt16(DescribeSymbols(state, u"\n")));
  return data;
}

}  // namespace ui
