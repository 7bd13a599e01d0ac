// The program's window: a value box, the Print button, and the picture box
// in which the four symbols follow every keystroke.
#pragma once

#include <QGroupBox>
#include <QWidget>
#include <functional>

#include "ui/core/form_state.h"
#include "ui/linux/qt/job_watch.h"
#include "ui/linux/qt/value_box.h"

class QLabel;
class QPushButton;

namespace ui {

// The picture box: it keeps no image and draws everything from the state on
// every paint. It takes the keyboard focus, which its frame shows; there
// Ctrl+C, or "Copy" in its context menu (the mouse's right button, the menu
// key, Shift+F10), copies the symbols to the clipboard.
class PictureBox final : public QWidget {
  Q_OBJECT

 public:
  PictureBox(const FormState& state, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  const FormState& state_;
  QAction* copy_;  // "Copy": the symbols to the clipboard, from the state as it is
};

// The frame around the picture. While the picture has the keyboard focus it
// draws a focus frame around it, outside it: the frame touches no symbol.
class PictureFrame final : public QGroupBox {
  Q_OBJECT

 public:
  explicit PictureFrame(QWidget* parent) : QGroupBox(parent) {}
  void Holds(const QWidget* picture) { picture_ = picture; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const QWidget* picture_ = nullptr;
};

// What became of a press of Print: what to tell the user at once (empty for
// nothing), and the job handed to the print system, to follow.
struct Printed {
  Printed(QString said = {}, std::unique_ptr<FollowedJob> followed = {})
      : text(std::move(said)), job(std::move(followed)) {}
  QString text;
  std::unique_ptr<FollowedJob> job;
};

class Form1 final : public QWidget {
  Q_OBJECT

 public:
  // Prints the state: what to tell the user, and the job to follow.
  using Printer = std::function<Printed(const FormState&)>;

  // `printer` is what Print prints with (the program gives it the default
  // printer).
  explicit Form1(Printer printer, QWidget* parent = nullptr);

  const FormState& State() const { return state_; }
  // The jobs handed over, followed until what became of each is known.
  JobWatch& Jobs() { return *jobs_; }

  QLabel* Label1;
  ValueBox* Text1;
  QPushButton* Command1;
  PictureFrame* Frame1;
  PictureBox* img;

 private slots:
  void Text1_Change();
  void Command1_Click();

 private:
  FormState state_;
  Printer printer_;
  JobWatch* jobs_;
};

// Twips to this screen's logical pixels (15 twips a pixel at 96 DPI).
int TwipsToPixels(int twips, double logicalDpi);

}  // namespace ui
