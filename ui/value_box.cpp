#include "ui/value_box.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>

namespace ui {

ValueBox::ValueBox(QWidget* parent) : QLineEdit(parent) {
  // Connected before any user of the box, so the history is up to date
  // when they hear of a change.
  connect(this, &QLineEdit::textChanged, this, &ValueBox::OnTextChanged);
  connect(this, &QLineEdit::cursorPositionChanged, this, [this](int, int position) {
    if (!ownChange_) current_.cursor = position;
  });
}

void ValueBox::OnTextChanged(const QString& text) {
  if (ownChange_) return;
  if (text == current_.text) return;  // a paste of what was there: nothing to undo
  history_.Edited(current_, text);
  // QLineEdit records what it removed and what it inserted, at most the
  // whole text before and after (a select-all and paste).
  qtRecord_ += current_.text.size() + text.size();
  current_ = {text, cursorPosition()};
  if (qtRecord_ > kQtRecordLimit && !dropPending_) {
    // Not from inside QLineEdit's own change handling: after the event that
    // made the change (see event()), or, for a change from elsewhere such
    // as the context menu, once control is back in the event loop.
    dropPending_ = true;
    QMetaObject::invokeMethod(this, &ValueBox::DropQtRecord, Qt::QueuedConnection);
  }
}

bool ValueBox::event(QEvent* event) {
  const bool handled = QLineEdit::event(event);
  // Input can come faster than the event loop turns to queued calls.
  DropQtRecord();
  return handled;
}

void ValueBox::DropQtRecord() {
  if (!dropPending_) return;
  dropPending_ = false;
  const int start = selectionStart();
  const int length = static_cast<int>(selectedText().size());
  const int cursor = cursorPosition();
  ownChange_ = true;
  setText(text());  // the same text: no change signal, and an empty record
  if (start < 0)
    setCursorPosition(cursor);
  else if (cursor == start)
    setSelection(start + length, -length);
  else
    setSelection(start, length);
  ownChange_ = false;
  qtRecord_ = 0;
}

void ValueBox::Show(const TextSnapshot& snapshot) {
  ownChange_ = true;
  setText(snapshot.text);  // raises textChanged for the box's users, as any edit does
  setCursorPosition(static_cast<int>(snapshot.cursor));
  ownChange_ = false;
  current_ = {text(), cursorPosition()};
  qtRecord_ = 0;
}

void ValueBox::Undo() {
  if (auto previous = history_.Undo(current_)) Show(*previous);
}

void ValueBox::Redo() {
  if (auto next = history_.Redo(current_)) Show(*next);
}

void ValueBox::keyPressEvent(QKeyEvent* event) {
  if (!isReadOnly() && event->matches(QKeySequence::Undo)) {
    Undo();
    event->accept();
  } else if (!isReadOnly() && event->matches(QKeySequence::Redo)) {
    Redo();
    event->accept();
  } else {
    QLineEdit::keyPressEvent(event);
  }
}

void ValueBox::contextMenuEvent(QContextMenuEvent* event) {
  QMenu* menu = createStandardContextMenu();
  menu->setAttribute(Qt::WA_DeleteOnClose);
  for (QAction* action : menu->actions()) {
    const bool undo = action->objectName() == QLatin1String("edit-undo");
    if (!undo && action->objectName() != QLatin1String("edit-redo")) continue;
    action->disconnect(this);  // from QLineEdit's own undo and redo
    action->setEnabled(undo ? history_.CanUndo() : history_.CanRedo());
    connect(action, &QAction::triggered, this, undo ? &ValueBox::Undo : &ValueBox::Redo);
  }
  menu->popup(event->globalPos());
}

}  // namespace ui
