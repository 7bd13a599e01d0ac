// The program's window: its controls, the picture box, and the three handlers.
#include "ui/linux/qt/form1.h"

#include <QAccessibleWidget>
#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <algorithm>
#include <cmath>
#include <memory>

#include "ui/linux/qt/clipboard.h"
#include "ui/linux/qt/qt_surface.h"
#include "ui/core/messages.h"
#include "ui/core/screen_painter.h"

namespace ui {
namespace {

// Qt presents a top-level QWidget as a plain client area ("filler"); to
// screen readers the window is a frame, announced as a window when it takes
// the focus, and the picture an image.
QAccessibleInterface* AccessibleRole(const QString& className, QObject* object) {
  QAccessible::Role role;
  if (className == QLatin1String(Form1::staticMetaObject.className()))
    role = QAccessible::Window;
  else if (className == QLatin1String(PictureBox::staticMetaObject.className()))
    role = QAccessible::Graphic;
  else
    return nullptr;
  return new QAccessibleWidget(static_cast<QWidget*>(object), role);
}

}  // namespace

int TwipsToPixels(int twips, double logicalDpi) {
  return static_cast<int>(std::lround(twips * logicalDpi / kTwipsPerInch));
}

PictureBox::PictureBox(const FormState& state, QWidget* parent)
    : QWidget(parent), state_(state), copy_(new QAction(QStringLiteral("Copy"), this)) {
  // The two corners the panel and its shadow leave free show the background.
  setAutoFillBackground(true);
  // Ctrl+C only here: the value box keeps its own.
  copy_->setShortcuts(QKeySequence::Copy);  // the system's: Ctrl+C, Ctrl+Insert, ...
  copy_->setShortcutContext(Qt::WidgetShortcut);
  addAction(copy_);
  connect(copy_, &QAction::triggered, this,
          [this] { QGuiApplication::clipboard()->setMimeData(CopiedData(state_)); });
}

void PictureBox::contextMenuEvent(QContextMenuEvent* event) {
  auto* menu = new QMenu(this);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->setAccessibleName(QStringLiteral("Barcodes"));
  menu->addAction(copy_);
  menu->popup(event->globalPos());
  menu->setActiveAction(copy_);  // Return chooses it at once
}

void PictureBox::keyPressEvent(QKeyEvent* event) {
  // Shift+F10 opens the context menu, as the menu key does.
  if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
    const QPoint middle = rect().center();
    QContextMenuEvent menu(QContextMenuEvent::Keyboard, middle, mapToGlobal(middle));
    contextMenuEvent(&menu);
    return;
  }
  QWidget::keyPressEvent(event);
}

void PictureBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QtPainterSurface surface(painter, *this);
  img_Paint(surface, state_);
}

void PictureBox::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  if (parentWidget()) parentWidget()->update();
}

void PictureBox::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  if (parentWidget()) parentWidget()->update();
}

void PictureFrame::paintEvent(QPaintEvent* event) {
  QGroupBox::paintEvent(event);
  if (!picture_ || !picture_->hasFocus()) return;
  // Two pixels wide, a pixel clear of the picture on every side.
  QPainter painter(this);
  painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(QRectF(picture_->geometry()).adjusted(-2, -2, 2, 2));
}

Form1::Form1(Printer printer, QWidget* parent)
    : QWidget(parent), printer_(std::move(printer)), jobs_(new JobWatch(this)) {
  // Once, before Qt first describes any window to an assistive technology.
  static const bool rolesInstalled = (QAccessible::installFactory(AccessibleRole), true);
  Q_UNUSED(rolesInstalled);
  setWindowTitle(QStringLiteral("Form1"));
  const double dpi = logicalDpiX();
  const auto place = [dpi](QWidget* w, int left, int top, int width, int height) {
    w->setGeometry(TwipsToPixels(left, dpi), TwipsToPixels(top, dpi), TwipsToPixels(width, dpi),
                   TwipsToPixels(height, dpi));
  };

  Label1 = new QLabel(QStringLiteral("Enter Value"), this);
  Text1 = new ValueBox(this);
  Command1 = new QPushButton(QStringLiteral("Print"), this);
  Frame1 = new PictureFrame(this);
  img = new PictureBox(state_, Frame1);
  Frame1->Holds(img);

  place(Label1, 240, 240, 855, 255);
  place(Text1, 1320, 140, 2800, 375);
  place(Command1, 4320, 120, 1335, 375);
  place(Frame1, 0, 600, 9975, 5655);
  place(img, 120, 240, 9735, 5295);
  resize(TwipsToPixels(9990, dpi), TwipsToPixels(6300, dpi));
  // The label's own width is for a narrower system font than most desktops
  // use: let it take what its text needs, up to the value box.
  Label1->resize(std::clamp(Label1->sizeHint().width(), Label1->width(),
                            Text1->x() - Label1->x() - TwipsToPixels(40, dpi)),
                 Label1->height());

  // The value box, the picture and the button take the keyboard focus, in
  // that order: on the picture a screen reader reads the four symbols.
  Label1->setFocusPolicy(Qt::NoFocus);
  Frame1->setFocusPolicy(Qt::NoFocus);
  img->setFocusPolicy(Qt::StrongFocus);
  setTabOrder(Text1, img);
  setTabOrder(img, Command1);
  // Return and Enter press the button when it has the focus, as Space does.
  Command1->setAutoDefault(true);
  Text1->setFocus();

  // The label names the value box: screen readers read it with the box.
  Label1->setBuddy(Text1);
  Command1->setAccessibleName(QStringLiteral("Print"));
  Command1->setAccessibleDescription(QStringLiteral("Prints the four barcodes on the default printer"));
  img->setAccessibleName(QStringLiteral("Barcodes"));
  img->setAccessibleDescription(Qt16(DescribePicture(state_)));

  connect(Text1, &QLineEdit::textChanged, this, &Form1::Text1_Change);
  connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
}

void Form1::Text1_Change() {
  state_ = DeriveState(Std16(Text1->text()));
  // Raises the description-changed event: screen readers learn of it at once.
  img->setAccessibleDescription(Qt16(DescribePicture(state_)));
  img->repaint();
}

void Form1::Command1_Click() {
  Printed printed = printer_ ? printer_(state_) : Printed(Qt16(NoPrinterSetUp()));
  if (!printed.text.isEmpty()) {
    const std::unique_ptr<QMessageBox> box(NewPrintMessage(this, printed.text));
    box->setStandardButtons(QMessageBox::Ok);
    box->exec();
  }
  // What became of the job is told when it is known.
  if (printed.job) jobs_->Follow(std::move(printed.job));
}

}  // namespace ui
