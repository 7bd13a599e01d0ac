// Test helper: a drawing surface that records every call as one line of
// text, e.g. "Line 38 102 2820 118 3720 0" or "Print SCC14".
#pragma once

#include <string>
#include <vector>

#include "ui/core/surface.h"
#include "ui/core/text.h"

class RecordingSurface : public ui::PrinterSurface {
 public:
  RecordingSurface(int width = 9735, int height = 5295) : width_(width), height_(height) {}

  std::vector<std::string> calls;
  // When >= 0: the device fails after this many operations (reads included).
  int failAfter = -1;
  bool aborted = false;

  int Width() const override;
  int Height() const override;
  void FillColor(int colour) override { Record("FillColor " + Hex(colour)); }
  void FillStyle(int style) override { Record("FillStyle " + std::to_string(style)); }
  void Line(int flags, float x1, float y1, float x2, float y2, int colour) override;
  void DrawWidth(int pixels) override { Record("DrawWidth " + std::to_string(pixels)); }
  void CurrentX(float x) override { Record("CurrentX " + Num(x)); }
  void CurrentY(float y) override { Record("CurrentY " + Num(y)); }
  void Print(std::u16string_view text) override { Record("Print " + ui::ToUtf8(text)); }
  void Font(std::u16string_view name, int points, bool bold) override;
  void PrintQuality(int quality) override { Record("PrintQuality " + std::to_string(quality)); }
  void EndDoc() override { Record("EndDoc"); }
  bool Failed() const override { return failAfter >= 0 && count_ >= failAfter; }
  void Abort() override { aborted = true; }
  std::u16string ErrorText() const override { return Failed() ? u"the device failed" : u""; }

  // Only the calls that start with `prefix` ("Line 6", "Print", ...).
  std::vector<std::string> Only(const std::string& prefix) const;

  static std::string Num(double v);
  static std::string Hex(int colour);

 private:
  void Record(std::string call);

  int width_;
  int height_;
  int count_ = 0;
};
