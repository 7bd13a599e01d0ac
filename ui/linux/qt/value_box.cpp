// The value box: a one-line text box with a bounded undo history.
#include "ui/linux/qt/value_box.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
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
  // QLineEdit records what it removed and what it inserted, at most the
  // whole text before and after (a select-all and paste), also when the
  // paste brings what was there.
  qtRecord_ += static_cast<qsizetype>(current_.text.size()) + text.size();
  if (qtRecord_ > kQtRecordLimit && !dropPending_) {
    // Not from inside QLineEdit's own change handling: after the event that
    // made the change (see event()), or, for a change from elsewhere such
    // as the context menu, once control is back in the event loop.
    dropPending_ = true;
    QCoreApplication::postEvent(this, new QEvent(QEvent::User));
  }
  if (QStringView(text) == QStringView(current_.text)) return;  // nothing to undo
  const TextSnapshot after{Std16(text), cursorPosition()};
  history_.Edited(current_, after, typing_);
  current_ = after;
}

bool ValueBox::event(QEvent* event) {
  const bool handled = QLineEdit::event(event);
  // Right after the change, not later: keys can come faster than the
  // event loop turns to posted events.
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
  setText(Qt16(snapshot.text));  // raises textChanged for the box's users, as any edit does
  setCursorPosition(static_cast<int>(snapshot.cursor));
  ownChange_ = false;
  current_ = {Std16(text()), cursorPosition()};
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
    typing_ = event->text().size() == 1 && event->text().front().isPrint() &&
              !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    QLineEdit::keyPressEvent(event);
    typing_ = false;
  }
}

void ValueBox::contextMenuEvent(QContextMenuEvent* event) {
  QMenu* menu = createStandardContextMenu();
  menu->setAttribute(Qt::WA_DeleteOnClose);
  // QLineEdit's menu starts with its Undo and Redo when the box is editable.
  const QList<QAction*> actions = menu->actions();
  if (!isReadOnly() && actions.size() >= 2) {
    for (const bool undo : {true, false}) {
      QAction* action = actions[undo ? 0 : 1];
      action->disconnect(this);  // from QLineEdit's own undo and redo
      action->setEnabled(undo ? history_.CanUndo() : history_.CanRedo());
      connect(action, &QAction::triggered, this, undo ? &ValueBox::Undo : &ValueBox::Redo);
    }
  }
  menu->popup(event->globalPos());
}

}  // namespace ui
