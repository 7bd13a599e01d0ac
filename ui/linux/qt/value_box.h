// The value box: a one-line text box whose undo history is bounded.
// QLineEdit's own history keeps every edit, a character at a time, for as
// long as the box lives; this box keeps EditHistory instead and drops
// QLineEdit's record (by setting the same text again) once it grows.
#pragma once

#include <QLineEdit>

#include "ui/core/edit_history.h"
#include "ui/linux/qt/qt_text.h"

namespace ui {

class ValueBox final : public QLineEdit {
 public:
  // QLineEdit's record may grow by this many characters (about 24 bytes
  // each) before it is dropped.
  static constexpr qsizetype kQtRecordLimit = 4096;

  explicit ValueBox(QWidget* parent);

  void Undo();
  void Redo();
  const EditHistory& History() const { return history_; }

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void OnTextChanged(const QString& text);
  void Show(const TextSnapshot& snapshot);
  void DropQtRecord();

  EditHistory history_;
  TextSnapshot current_;
  bool typing_ = false;     // the change comes from a printable key
  bool ownChange_ = false;  // the text or cursor is being set by this box itself
  qsizetype qtRecord_ = 0;
  bool dropPending_ = false;
};

}  // namespace ui
