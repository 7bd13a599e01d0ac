// The undo and redo history of a one-line text box, bounded by count: whole
// texts, at most the last kMaxSteps edits, so a long value pasted over and
// over costs at most kMaxSteps copies of it.
#pragma once

#include <QString>
#include <cstddef>
#include <deque>
#include <optional>

namespace ui {

struct TextSnapshot {
  QString text;
  qsizetype cursor = 0;
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
  qsizetype typingAt_ = -1;  // the cursor after the newest step, if it was typing
};

}  // namespace ui
