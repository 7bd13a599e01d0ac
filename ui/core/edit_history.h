// The undo and redo history of a one-line text box, bounded by count: whole
// texts, at most the last kMaxSteps edits, so a long value pasted over and
// over costs at most kMaxSteps copies of it.
#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <string>

namespace ui {

struct TextSnapshot {
  std::u16string text;
  std::ptrdiff_t cursor = 0;  // in code units
};

class EditHistory {
 public:
  static constexpr std::size_t kMaxSteps = 100;

  // The user changed the text from `before` to `after`; `typed` says it was
  // one character typed at the cursor. Typing on where the last typed
  // character went adds to that step, as text boxes do.
  void Edited(const TextSnapshot& before, const TextSnapshot& after, bool typed);

  // The text to show instead of `current`, if there is a step to go.
  std::optional<TextSnapshot> Undo(const TextSnapshot& current);
  std::optional<TextSnapshot> Redo(const TextSnapshot& current);

  bool CanUndo() const { return !undo_.empty(); }
  bool CanRedo() const { return !redo_.empty(); }
  std::size_t Steps() const { return undo_.size() + redo_.size(); }

 private:
  std::optional<TextSnapshot> Step(std::deque<TextSnapshot>& from, std::deque<TextSnapshot>& to,
                                   const TextSnapshot& current);

  std::deque<TextSnapshot> undo_;
  std::deque<TextSnapshot> redo_;
  std::ptrdiff_t typingAt_ = -1;  // the cursor after the newest step, if it was typing
};

}  // namespace ui
