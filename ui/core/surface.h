// The drawing surface both renderers draw on: the picture box on screen and
// the printer's page. Positions and lengths are twips (1/1440 inch) from the
// top-left corner, y growing downwards; colours are 0xRRGGBB.
#pragma once

#include <string>
#include <string_view>

namespace ui {

inline constexpr int kTwipsPerInch = 1440;

inline constexpr int kBlack = 0x000000;
inline constexpr int kWhite = 0xFFFFFF;
inline constexpr int kSolid = 0;       // FillStyle
inline constexpr int kPlainLine = 6;   // Line flag word: straight line
inline constexpr int kFilledBox = 38;  // Line flag word: box filled in the line's colour

class Surface {
 public:
  virtual ~Surface() = default;

  // Outer size of the surface, in twips.
  virtual int Width() const = 0;
  virtual int Height() const = 0;

  // Fill of boxes drawn without the fill option (no caller draws one).
  virtual void FillColor(int colour) = 0;
  virtual void FillStyle(int style) = 0;

  // kPlainLine: a line DrawWidth pixels wide. kFilledBox: the axis-parallel
  // box with these corners, filled in `colour`. Drawing outside is clipped.
  virtual void Line(int flags, float x1, float y1, float x2, float y2, int colour) = 0;

  virtual void DrawWidth(int pixels) = 0;
  virtual void CurrentX(float x) = 0;
  virtual void CurrentY(float y) = 0;

  // Draws `text` in black with its top-left corner at (CurrentX, CurrentY).
  virtual void Print(std::u16string_view text) = 0;

  virtual void Font(std::u16string_view name, int points, bool bold) = 0;
};

// The printer's page: a surface with a print quality and an end.
class PrinterSurface : public Surface {
 public:
  static constexpr int kDraft = -1;
  static constexpr int kLow = -2;
  static constexpr int kMedium = -3;
  static constexpr int kHigh = -4;

  // Set before the first output; it holds for the whole page.
  virtual void PrintQuality(int quality) = 0;
  // Ends the document and hands the page to the printer.
  virtual void EndDoc() = 0;

  // True once any operation of this job has failed; later output is ignored.
  virtual bool Failed() const = 0;
  // Drops the job so that nothing of it reaches the printer.
  virtual void Abort() = 0;
  // What failed, for the user; empty while nothing has.
  virtual std::u16string ErrorText() const = 0;
};

// Prints `text` with its top-left corner at (x, y).
inline void PrintAt(Surface& surface, int x, int y, std::u16string_view text) {
  surface.CurrentX(static_cast<float>(x));
  surface.CurrentY(static_cast<float>(y));
  surface.Print(text);
}

}  // namespace ui
