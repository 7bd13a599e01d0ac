#include "ui/edit_history.h"

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

std::optional<TextSnapshot> EditHistory::Undo(const TextSnapshot& current) {
  if (undo_.empty()) return std::nullopt;
  TextSnapshot previous = std::move(undo_.back());
  undo_.pop_back();
  redo_.push_back(current);
  typingAt_ = -1;
  return previous;
}

std::optional<TextSnapshot> EditHistory::Redo(const TextSnapshot& current) {
  if (redo_.empty()) return std::nullopt;
  TextSnapshot next = std::move(redo_.back());
  redo_.pop_back();
  undo_.push_back(current);
  typingAt_ = -1;
  return next;
}

}  // namespace ui
