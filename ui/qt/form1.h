// The program's window: a value box, the Print button, and the picture box
// in which the four symbols follow every keystroke.
#pragma once

#include <QWidget>
#include <functional>

#include "ui/core/form_state.h"
#include "ui/qt/value_box.h"

class QGroupBox;
class QLabel;
class QPushButton;

namespace ui {

// The picture box: it keeps no image and draws everything from the state on
// every paint.
class PictureBox final : public QWidget {
  Q_OBJECT

 public:
  PictureBox(const FormState& state, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const FormState& state_;
};

class Form1 final : public QWidget {
  Q_OBJECT

 public:
  // Prints the state; returns the empty text or what to tell the user.
  using Printer = std::function<QString(const FormState&)>;

  // `printer` is what Print prints with (the program gives it the default
  // printer).
  explicit Form1(Printer printer, QWidget* parent = nullptr);

  const FormState& State() const { return state_; }

  QLabel* Label1;
  ValueBox* Text1;
  QPushButton* Command1;
  QGroupBox* Frame1;
  PictureBox* img;

 private slots:
  void Text1_Change();
  void Command1_Click();

 private:
  FormState state_;
  Printer printer_;
};

// Twips to this screen's logical pixels (15 twips a pixel at 96 DPI).
int TwipsToPixels(int twips, double logicalDpi);

}  // namespace ui
