// The copied picture: the print routine's page on a white picture with a margin.
#include "ui/core/copied_picture.h"

#include "ui/core/print_routine.h"

namespace ui {
namespace {

// The picture as the print routine's page: its twips start at the margin.
// Nothing is handed on at the end, and nothing fails here: whatever the
// platform's surface makes of the drawing is its own to check.
class MarginPage final : public PrinterSurface {
 public:
  explicit MarginPage(Surface& picture) : picture_(picture) {}

  int Width() const override { return picture_.Width() - 2 * kCopyMargin; }
  int Height() const override { return picture_.Height() - 2 * kCopyMargin; }
  void FillColor(int colour) override { picture_.FillColor(colour); }
  void FillStyle(int style) override { picture_.FillStyle(style); }
  void Line(int flags, float x1, float y1, float x2, float y2, int colour) override {
    picture_.Line(flags, x1 + kMargin, y1 + kMargin, x2 + kMargin, y2 + kMargin, colour);
  }
  void DrawWidth(int pixels) override { picture_.DrawWidth(pixels); }
  void CurrentX(float x) override { picture_.CurrentX(x + kMargin); }
  void CurrentY(float y) override { picture_.CurrentY(y + kMargin); }
  void Print(std::u16string_view text) override { picture_.Print(text); }
  void Font(std::u16string_view name, int points, bool bold) override {
    picture_.Font(name, points, bold);
  }

  void PrintQuality(int) override {}
  void EndDoc() override {}
  bool Failed() const override { return false; }
  void Abort() override {}
  std::u16string ErrorText() const override { return {}; }

 private:
  static constexpr auto kMargin = static_cast<float>(kCopyMargin);
  Surface& picture_;
};

}  // namespace

void DrawCopy(Surface& picture, const FormState& state) {
  picture.Line(kFilledBox, 0, 0, static_cast<float>(picture.Width()),
               static_cast<float>(picture.Height()), kWhite);
  MarginPage page(picture);
  Command1_Click(page, state);
}

}  // namespace ui
