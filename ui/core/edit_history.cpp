// The value box's undo history: whole values, the last 100 edits.
#include "ui/core/edit_history.h"

#include <utility>

namespace ui {

void EditHistory::Edited(const TextSnapshot& before, const TextSnapshot& after, bool typed) {
  redo_.clear();
  // Typing on: at the cursor the last typed character left, adding to the
  // text rather than typing over a selection.
  const bool typingOn = typed && typingAt_ >= 0 && before.cursor == typingAt_ &&
                        after.text.size() > before.text.size() && !undo_.empty();
  if (!typingOn) {
    undo_.push_back(before);
    if (undo_.size() > kMaxSteps) undo_.pop_front();
  }
  typingAt_ = typed ? after.cursor : -1;
}

// One step from `from` (undo or redo), the current text going to `to`.
std::optional<TextSnapshot> EditHistory::Step(std::deque<TextSnapshot>& from,
                                              std::deque<TextSnapshot>& to,
                                              const TextSnapshot& current) {
  if (from.empty()) return std::nullopt;
  TextSnapshot next = std::move(from.back());
  from.pop_back();
  to.push_back(current);
  typingAt_ = -1;
  return next;
}

std::optional<TextSnapshot> EditHistory::Undo(const TextSnapshot& current) {
  return Step(undo_, redo_, current);
}

std::optional<TextSnapshot> EditHistory::Redo(const TextSnapshot& current) {
  return Step(redo_, undo_, current);
}

}  // namespace ui
