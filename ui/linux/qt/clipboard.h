// What Copy puts on the clipboard on Linux: the copied picture as SVG, at
// the size it prints, and as a PNG at 300 dpi, and the symbols in words.
#pragma once

#include <QByteArray>
#include <QImage>

#include "ui/core/form_state.h"

class QMimeData;

namespace ui {

// The copied picture as SVG, drawn by Qt's SVG generator: one unit a twip,
// 1440 to the inch, so that it pastes at the size it prints.
QByteArray CopiedSvg(const FormState& state);

// The copied picture at 300 dpi, one bit a dot: every box on the dot grid,
// by the same rule as a printer's page, and texts as a printer draws them.
QImage CopiedImage(const FormState& state);

// What Copy offers: image/svg+xml, image/png and the text, one symbol a line.
// The caller owns it (the clipboard, once set).
QMimeData* CopiedData(const FormState& state);

}  // namespace ui
