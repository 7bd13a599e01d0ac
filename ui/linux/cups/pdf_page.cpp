// The printer's page as a PDF in memory: its page set-up, its resolution and its end.
#include "ui/linux/cups/pdf_page.h"

#include <algorithm>
#include <iterator>

#include "ui/core/messages.h"

namespace ui {
namespace {

constexpr double kHmmPerInch = 2540.0;  // hundredths of a millimetre

}  // namespace

QtPrinterSurface::QtPrinterSurface(PrinterPage page, Spooler spool, QtPainterSurface::Turn turn)
    : page_(std::move(page)), spool_(std::move(spool)), turn_(turn), dpi_(NativeDpi()) {}

// The printer's own resolution; 300 dpi for one that names none.
int QtPrinterSurface::NativeDpi() const { return page_.dpi > 0 ? page_.dpi : 300; }

QtPrinterSurface::~QtPrinterSurface() {
  if (painter_.isActive()) painter_.end();
}

void QtPrinterSurface::Fail(std::u16string_view why) {
  if (!failed_) error_ = why;
  failed_ = true;
}

QtPainterSurface* QtPrinterSurface::Page() {
  if (failed_ || ended_) return nullptr;
  if (surface_) return &*surface_;
  // The document's page is exactly the printer's media, with no margins of
  // its own: device pixels are the printer's dots, counted from the media's
  // top-left corner.
  const QPageSize media(QSizeF(page_.width / 100.0, page_.length / 100.0), QPageSize::Millimeter,
                        QString(), QPageSize::ExactMatch);
  if (page_.width <= 0 || page_.length <= 0 || !media.isValid() ||
      !pdf_.open(QIODevice::WriteOnly)) {
    Fail(PageNotPrepared(page_.printer));
    return nullptr;
  }
  writer_ = std::make_unique<QPdfWriter>(&pdf_);
  writer_->setResolution(dpi_);
  writer_->setCreator(QStringLiteral("Barcodes"));
  writer_->setTitle(QStringLiteral("Barcodes"));
  const QPageLayout layout(media, QPageLayout::Portrait, QMarginsF(), QPageLayout::Millimeter,
                           QMarginsF());
  if (!writer_->setPageLayout(layout) || !painter_.begin(writer_.get())) {
    Fail(PageNotPrepared(page_.printer));
    return nullptr;
  }
  const double dotsPerHmm = dpi_ / kHmmPerInch;
  const QSizeF printable((page_.width - page_.left - page_.right) * dotsPerHmm,
                         (page_.length - page_.top - page_.bottom) * dotsPerHmm);
  if (turn_ == QtPainterSurface::Turn::kUpright) {
    surface_.emplace(painter_, *writer_, QPointF(page_.left * dotsPerHmm, page_.top * dotsPerHmm),
                     printable, QtPainterSurface::Boxes::kOnDotGrid);
  } else {
    // Turned, the printable area's corner is the media's bottom-left one,
    // and the surface's x runs up the media's length.
    surface_.emplace(painter_, *writer_,
                     QPointF(writer_->height() - (page_.length - page_.bottom) * dotsPerHmm,
                             page_.left * dotsPerHmm),
                     printable.transposed(), QtPainterSurface::Boxes::kOnDotGrid,
                     QtPainterSurface::Turn::kQuarter);
  }
  return &*surface_;
}

int QtPrinterSurface::Width() const {
  if (surface_) return surface_->Width();
  return turn_ == QtPainterSurface::Turn::kUpright ? page_.PrintableWidth()
                                                   : page_.PrintableHeight();
}
int QtPrinterSurface::Height() const {
  if (surface_) return surface_->Height();
  return turn_ == QtPainterSurface::Turn::kUpright ? page_.PrintableHeight()
                                                   : page_.PrintableWidth();
}

void QtPrinterSurface::FillColor(int colour) {
  if (auto* p = Page()) p->FillColor(colour);
}
void QtPrinterSurface::FillStyle(int style) {
  if (auto* p = Page()) p->FillStyle(style);
}
void QtPrinterSurface::Line(int flags, float x1, float y1, float x2, float y2, int colour) {
  if (auto* p = Page()) p->Line(flags, x1, y1, x2, y2, colour);
}
void QtPrinterSurface::DrawWidth(int pixels) {
  if (auto* p = Page()) p->DrawWidth(pixels);
}
void QtPrinterSurface::CurrentX(float x) {
  if (auto* p = Page()) p->CurrentX(x);
}
void QtPrinterSurface::CurrentY(float y) {
  if (auto* p = Page()) p->CurrentY(y);
}
void QtPrinterSurface::Print(std::u16string_view text) {
  if (auto* p = Page()) p->Print(text);
}
void QtPrinterSurface::Font(std::u16string_view name, int points, bool bold) {
  if (auto* p = Page()) p->Font(name, points, bold);
}

void QtPrinterSurface::PrintQuality(int quality) {
  // The resolution holds for the whole page, so it is chosen before the page
  // begins. High quality is the printer's own resolution; the others take
  // the finest the printer offers up to their cap.
  if (surface_ || failed_) return;
  const int native = NativeDpi();
  const int cap = quality == kDraft ? 150 : quality == kLow ? 300 : quality == kMedium ? 600 : 0;
  if (cap <= 0 || cap >= native) {
    dpi_ = native;
    return;
  }
  dpi_ = cap;
  if (page_.resolutions.empty()) return;
  const auto& offered = page_.resolutions;
  const auto above = std::upper_bound(offered.begin(), offered.end(), cap);
  dpi_ = above == offered.begin() ? offered.front() : *std::prev(above);
}

void QtPrinterSurface::EndDoc() {
  if (!Page()) return;  // failed: the caller aborts
  ended_ = true;
  if (!painter_.end()) {
    Fail(PageNotFinished(page_.printer));
    return;
  }
  writer_.reset();
  pdf_.close();
  const QString refused = spool_(pdf_.data(), dpi_, QStringLiteral("Barcodes"));
  if (!refused.isEmpty()) Fail(Std16(refused));
}

void QtPrinterSurface::Abort() {
  // Nothing has been handed to the spooler yet: dropping the page is enough.
  if (painter_.isActive()) painter_.end();
  writer_.reset();
  pdf_.close();
  pdf_.setData(QByteArray());
  ended_ = true;
}

}  // namespace ui
