// The printer's page: its printable area in twips, and sizes said in words.
#include "ui/core/printer_page.h"

#include <cmath>

namespace ui {
namespace {

constexpr double kTwipsPerInch = 1440.0;
constexpr double kHmmPerInch = 2540.0;  // hundredths of a millimetre

}  // namespace

int HmmToTwips(int hmm) {
  return static_cast<int>(std::lround(hmm * kTwipsPerInch / kHmmPerInch));
}
int TwipsToHmm(int twips) {
  return static_cast<int>(std::lround(twips * kHmmPerInch / kTwipsPerInch));
}

int PrinterPage::PrintableWidth() const { return HmmToTwips(width - left - right); }
int PrinterPage::PrintableHeight() const { return HmmToTwips(length - top - bottom); }

QString SizeText(int widthHmm, int lengthHmm) {
  return QStringLiteral("%1 x %2 in (%3 x %4 mm)")
      .arg(widthHmm / kHmmPerInch, 0, 'f', 2)
      .arg(lengthHmm / kHmmPerInch, 0, 'f', 2)
      .arg(std::lround(widthHmm / 100.0))
      .arg(std::lround(lengthHmm / 100.0));
}

}  // namespace ui
