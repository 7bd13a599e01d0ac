// The picture on screen, drawn afresh from the state on every paint.
#pragma once

#include <string>
#include <string_view>

#include "ui/core/form_state.h"
#include "ui/core/surface.h"

namespace ui {

// Draws the whole picture from the state: the white panel with its black
// shadow, then per symbol its caption, one thin line per dark module (20
// twips apart) and its text.
void img_Paint(Surface& img, const FormState& state);

// The picture in words, for screen readers: per symbol, in drawing order, its
// caption and the text under it, or that it has no bars:
// "SCC14: no symbol, 12AB000000000; 3 of 9: 12AB; UPC-A: no symbol; ...".
std::u16string DescribePicture(const FormState& state);

// The same words, the symbols joined by `between` (DescribePicture: "; ";
// what Copy puts on the clipboard as text: one symbol a line).
std::u16string DescribeSymbols(const FormState& state, std::u16string_view between);

}  // namespace ui
