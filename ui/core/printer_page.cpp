// The printer's page: its printable area in twips, and sizes said in words.
#include "ui/core/printer_page.h"

#include <cmath>
#include <cstdio>

#include "ui/core/surface.h"
#include "ui/core/text.h"

namespace ui {
namespace {

constexpr double kHmmPerInch = 2540.0;  // hundredths of a millimetre

}  // namespace

int HmmToTwips(int hmm) {
  return static_cast<int>(std::lround(static_cast<double>(hmm) * kTwipsPerInch / kHmmPerInch));
}
int TwipsToHmm(int twips) {
  return static_cast<int>(std::lround(twips * kHmmPerInch / kTwipsPerInch));
}

int PrinterPage::PrintableWidth() const { return HmmToTwips(width - left - right); }
int PrinterPage::PrintableHeight() const { return HmmToTwips(length - top - bottom); }

std::u16string SizeText(int widthHmm, int lengthHmm) {
  char text[96];
  std::snprintf(text, sizeof text, "%.2f x %.2f in (%ld x %ld mm)", widthHmm / kHmmPerInch,
                lengthHmm / kHmmPerInch, std::lround(widthHmm / 100.0),
                std::lround(lengthHmm / 100.0));
  return FromUtf8(text);
}

}  // namespace ui
