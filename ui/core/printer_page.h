// What the printer prints on: its media, the printable area and the dot grid.
#pragma once

#include <string>
#include <vector>

namespace ui {

// The default printer's page. Lengths in hundredths of a millimetre, as the
// print server gives them.
struct PrinterPage {
  std::u16string printer;  // the queue
  std::u16string media;    // a standard size's name ("Letter", "A4"), else empty
  int width = 0;
  int length = 0;
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int dpi = 0;                   // the printer's own (default) resolution
  std::vector<int> resolutions;  // every resolution it offers, ascending

  // The printable area in twips, the media upright.
  int PrintableWidth() const;
  int PrintableHeight() const;
};

// Twips across a length in hundredths of a millimetre, and back.
int HmmToTwips(int hmm);
int TwipsToHmm(int twips);

// A size in hundredths of a millimetre as a person reads it:
// "4.00 x 6.00 in (102 x 152 mm)".
std::u16string SizeText(int widthHmm, int lengthHmm);

}  // namespace ui
