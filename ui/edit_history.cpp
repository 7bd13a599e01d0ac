#include "ui/edit_history.h"

#include <algorithm>
#include <utility>

namespace ui {

namespace {

struct Difference {
  qsizetype at;        // first position that differs
  qsizetype removed;   // characters of `before` replaced from there
  qsizetype inserted;  // characters of `after` that replace them
};

Difference Compare(const QString& before, const QString& after) {
  const qsizetype shorter = std::min(before.size(), after.size());
  qsizetype prefix = 0;
  while (prefix < shorter && before[prefix] == after[prefix]) ++prefix;
  qsizetype suffix = 0;
  while (suffix < shorter - prefix &&
         before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
    ++suffix;
  return {prefix, before.size() - prefix - suffix, after.size() - prefix - suffix};
}

// One character: one code unit, or a surrogate pair.
bool OneCharacter(const QString& text, qsizetype at, qsizetype length) {
  return length == 1 || (length == 2 && text[at].isHighSurrogate() && text[at + 1].isLowSurrogate());
}

}  // namespace

void EditHistory::Edited(const TextSnapshot& before, const QString& after) {
  const Difference d = Compare(before.text, after);
  const bool typed = OneCharacter(after, d.at, d.inserted);
  redo_.clear();
  if (typed && d.removed == 0 && d.at == typingAt_ && !undo_.empty()) {
    typingAt_ = d.at + d.inserted;
    return;
  }
  undo_.push_back(before);
  if (undo_.size() > kMaxSteps) undo_.pop_front();
  typingAt_ = typed ? d.at + d.inserted : -1;
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
