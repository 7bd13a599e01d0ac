#pragma once

#include "ui/form_state.h"
#include "ui/surface.h"

namespace ui {

// Draws the whole picture from the state: the white panel with its black
// shadow, then per symbol its caption, one thin line per dark module (20
// twips apart) and its text.
void img_Paint(Surface& img, const FormState& state);

}  // namespace ui
