// The real window on Qt's offscreen platform: keystrokes, focus, pixels.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QElapsedTimer>
#include <functional>
#include <QAbstractButton>

#include "ui/linux/qt/form1.h"

using ui::Form1;
using ui::FormState;

namespace {

constexpr int kTwipsPerPixel = 15;  // 96 DPI

bool Dark(const QImage& img, int x, int y) { return qGray(img.pixel(x, y)) < 128; }

// The window, shown, with the focus where the system gives it.
struct Shown {
  explicit Shown(Form1::Printer printer = {}) : window(std::move(printer)) {
    window.show();
    window.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
  }
  Form1 window;
};

}  // namespace

TEST(Form1, LayoutInTwips) {
  Shown s;
  Form1& w = s.window;
  ASSERT_EQ(w.logicalDpiX(), 96) << "the pixel figures below assume 96 DPI";
  EXPECT_EQ(w.windowTitle(), QStringLiteral("Form1"));
  EXPECT_EQ(w.size(), QSize(9990 / kTwipsPerPixel, 6300 / kTwipsPerPixel));
  EXPECT_EQ(w.Label1->text(), QStringLiteral("Enter Value"));
  EXPECT_EQ(w.Label1->pos(), QPoint(16, 16));
  EXPECT_EQ(w.Text1->geometry(), QRect(88, 9, 187, 25));
  EXPECT_EQ(w.Text1->text(), QString());
  EXPECT_EQ(w.Command1->text(), QStringLiteral("Print"));
  EXPECT_EQ(w.Command1->geometry(), QRect(288, 8, 89, 25));
  EXPECT_EQ(w.Frame1->geometry(), QRect(0, 40, 665, 377));
  EXPECT_EQ(w.Frame1->title(), QString());
  EXPECT_EQ(w.img->parentWidget(), w.Frame1);
  EXPECT_EQ(w.img->geometry(), QRect(8, 16, 649, 353));
  // The whole label text is readable, and it stops short of the value box.
  EXPECT_GE(w.Label1->width(), w.Label1->sizeHint().width());
  EXPECT_LT(w.Label1->geometry().right(), w.Text1->x());
}

TEST(Form1, FocusAndTabOrder) {
  Shown s;
  Form1& w = s.window;
  // The layout's order: the value box, the picture (a screen reader reads the
  // symbols there), then Print; Shift+Tab goes back.
  EXPECT_TRUE(w.Text1->hasFocus());
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_TRUE(w.img->hasFocus());
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_TRUE(w.Command1->hasFocus());
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_TRUE(w.Text1->hasFocus());
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_TRUE(w.Command1->hasFocus());
}

TEST(Form1, EveryKeystrokeRederivesTheState) {
  Shown s;
  Form1& w = s.window;
  EXPECT_TRUE(w.State().ItfText.empty()) << "start state: nothing derived yet";
  EXPECT_FALSE(w.State().IsAllDigits);
  QString typed;
  for (QChar c : QStringLiteral("12aB 3")) {
    QTest::keyClicks(w.Text1, QString(c));
    typed += c;
    const FormState expected = ui::DeriveState(ui::Std16(typed));
    EXPECT_EQ(w.State().ItfText, expected.ItfText) << typed.toStdString();
    EXPECT_EQ(w.State().Code39Text, expected.Code39Text);
    EXPECT_EQ(w.State().Code39Bars, expected.Code39Bars);
    EXPECT_EQ(w.State().UpcaBars, expected.UpcaBars);
  }
  EXPECT_EQ(w.State().Code39Text, u"12AB 3");
  // Emptying the box gives the all-zero symbols, not the start state.
  w.Text1->selectAll();
  QTest::keyClick(w.Text1, Qt::Key_Delete);
  EXPECT_EQ(w.State().ItfText, u"00000000000000");
  EXPECT_EQ(w.State().UpcaText, u"000000000000");
}

TEST(Form1, PicturePixels) {
  Shown s;
  Form1& w = s.window;
  QTest::keyClicks(w.Text1, QStringLiteral("4006381333931"));
  const QImage img = w.img->grab().toImage();
  ASSERT_EQ(img.size(), QSize(649, 353));
  const int panelRight = 9635 / kTwipsPerPixel;  // 642.3: the shadow strip lies past it
  EXPECT_FALSE(Dark(img, 2, 2));
  EXPECT_FALSE(Dark(img, panelRight - 1, 200));
  EXPECT_TRUE(Dark(img, panelRight + 2, 200)) << "right shadow strip";
  EXPECT_TRUE(Dark(img, 648, 200));
  EXPECT_TRUE(Dark(img, 300, 350)) << "bottom shadow strip";
  EXPECT_FALSE(Dark(img, 2, 350)) << "the shadow starts 80 twips in";
  EXPECT_FALSE(Dark(img, 648, 2)) << "and 80 twips down";

  // One dark column per dark module, 20 twips apart, and white between.
  struct Symbol { const barcode::BarPattern* bars; int x0, top; };
  const FormState& st = w.State();
  for (const Symbol& sym : {Symbol{&st.ItfBars, 100, 320}, Symbol{&st.UpcaBars, 100, 2820},
                            Symbol{&st.Ean13Bars, 5000, 2820}}) {
    ASSERT_FALSE(sym.bars->empty());
    const int y = (sym.top + 450) / kTwipsPerPixel;
    for (std::size_t i = 1; i <= sym.bars->size(); ++i) {
      const int x = static_cast<int>(std::lround((sym.x0 + 20.0 * static_cast<double>(i)) /
                                                 kTwipsPerPixel));
      EXPECT_EQ(Dark(img, x, y), (*sym.bars)[i - 1] == '1') << "module " << i << " of " << sym.x0;
    }
    // Bars run from the top to the bottom of their row (module 1 is always dark).
    const int first = static_cast<int>(std::lround((sym.x0 + 20.0) / kTwipsPerPixel));
    EXPECT_TRUE(Dark(img, first, sym.top / kTwipsPerPixel + 1));
    EXPECT_TRUE(Dark(img, first, (sym.top + 900) / kTwipsPerPixel - 1));
    EXPECT_FALSE(Dark(img, first, sym.top / kTwipsPerPixel - 2));
    EXPECT_FALSE(Dark(img, first, (sym.top + 900) / kTwipsPerPixel + 2));
  }
  // Some ink where the texts stand, none in the empty space between rows.
  const auto inkIn = [&img](QRect r) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
      for (int x = r.left(); x <= r.right(); ++x) n += Dark(img, x, y);
    return n;
  };
  EXPECT_GT(inkIn(QRect(100 / 15, 1300 / 15, 100, 12)), 20) << "ITF text";
  EXPECT_GT(inkIn(QRect(100 / 15, 100 / 15, 40, 12)), 10) << "caption";
  EXPECT_EQ(inkIn(QRect(10, 1700 / 15, 600, 30)), 0);
}

TEST(Form1, LongValueStaysInsideThePicture) {
  Shown s;
  Form1& w = s.window;
  w.Text1->setText(QString(40000, u'W'));  // a paste past the box's limit
  EXPECT_EQ(w.Text1->text().size(), 32767);
  EXPECT_EQ(w.State().Code39Text.size(), 32767U);
  const QImage img = w.img->grab().toImage();
  int dark = 0;
  for (int x = 600; x < 640; ++x) dark += Dark(img, x, 50);
  EXPECT_GT(dark, 10) << "Code 39 runs on to the edge of the picture";
}

TEST(Form1, PrintHandsTheStateToThePrinter) {
  std::vector<std::u16string> printed;
  Shown s([&printed](const FormState& st) {
    printed.push_back(st.ItfText);
    return QString();
  });
  QTest::keyClicks(s.window.Text1, QStringLiteral("123"));
  QTest::mouseClick(s.window.Command1, Qt::LeftButton);
  QTest::keyClick(s.window.Command1, Qt::Key_Space);  // the button has the focus now
  EXPECT_EQ(printed, (std::vector<std::u16string>{u"12300000000006", u"12300000000006"}));
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "no message when all went well";
}

TEST(Form1, PrintFailureIsShownAndTheWindowGoesOn) {
  Shown s([](const FormState&) { return QStringLiteral("No printer is set up."); });
  QTest::keyClicks(s.window.Text1, QStringLiteral("12AB"));
  const FormState before = s.window.State();
  QString shown;
  QAccessible::Role role{};
  QTimer::singleShot(0, [&shown, &role] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      shown = box->text();
      role = QAccessible::queryAccessibleInterface(box)->role();
      box->accept();
    }
  });
  QTest::mouseClick(s.window.Command1, Qt::LeftButton);
  EXPECT_EQ(shown, QStringLiteral("No printer is set up."));
  EXPECT_EQ(role, QAccessible::AlertMessage) << "screen readers present it at once";
  EXPECT_EQ(s.window.State().Code39Bars, before.Code39Bars);
  QTest::keyClicks(s.window.Text1, QStringLiteral("C"), Qt::NoModifier);
  EXPECT_EQ(s.window.State().Code39Text, u"12ABC");
}

TEST(Form1, HostilePastes) {
  Shown s;
  Form1& w = s.window;
  const QString nul = QString(QChar(u'\0'));
  const std::vector<QString> pastes = {
      QString(32767, u'9'),
      QString(40000, u'x'),
      QStringLiteral("\x01\x02\x1b[31m\x7f") + nul + QStringLiteral("12") + nul,
      QStringLiteral("\t12\t34\t"),
      QString::fromUtf8("שלום 123 مرحبا"),            // right-to-left
      QString::fromUtf8("😀👍🏽👨‍👩‍👧 1"),                  // emoji, modifiers, joiners
      QString::fromUtf8("e\u0301\u0301\u0301 A\u20DD"),  // combining marks
      QString(3000, QChar(0xD800)),                   // lone surrogates
      QString::fromUtf8("\u202E123\u202C"),            // bidi override around digits
  };
  for (const QString& text : pastes) {
    QApplication::clipboard()->setText(text);
    w.Text1->selectAll();
    QTest::keyClick(w.Text1, Qt::Key_V, Qt::ControlModifier);
    const FormState expected = ui::DeriveState(ui::Std16(w.Text1->text()));
    EXPECT_EQ(w.State().ItfText, expected.ItfText);
    EXPECT_EQ(w.State().Code39Bars, expected.Code39Bars);
    EXPECT_FALSE(w.State().ItfText.empty());
    EXPECT_LE(w.Text1->text().size(), 32767);
    EXPECT_FALSE(w.img->grab().isNull());
  }
  // The box's limit holds for a paste: 32,767 nines, all of them digits.
  QApplication::clipboard()->setText(QString(40000, u'9'));
  w.Text1->selectAll();
  QTest::keyClick(w.Text1, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(w.State().Code39Text.size(), 32767U);
  EXPECT_TRUE(w.State().IsAllDigits);
  EXPECT_EQ(w.State().UpcaText, u"999999999993");
}

TEST(Form1, ReturnAndEnterPressTheFocusedPrintButton) {
  int printed = 0;
  Shown s([&printed](const FormState&) {
    ++printed;
    return QString();
  });
  QTest::keyClick(s.window.Text1, Qt::Key_Return);
  EXPECT_EQ(printed, 0) << "Return in the value box prints nothing";
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_EQ(printed, 0) << "nor on the picture";
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  ASSERT_TRUE(s.window.Command1->hasFocus());
  QTest::keyClick(s.window.Command1, Qt::Key_Return);
  QTest::keyClick(s.window.Command1, Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_EQ(printed, 2);
}

namespace {

void Paste(QLineEdit* box, const QString& text) {
  QApplication::clipboard()->setText(text);
  box->selectAll();
  QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
}

}  // namespace

TEST(ValueBox, UndoStepsBackEditByEdit) {
  using Edit = std::function<void(QLineEdit*)>;
  const auto type = [](const char* text) { return [text](QLineEdit* b) { QTest::keyClicks(b, text); }; };
  const auto key = [](Qt::Key k) { return [k](QLineEdit* b) { QTest::keyClick(b, k); }; };
  const auto paste = [](const char* text) { return [text](QLineEdit* b) { Paste(b, text); }; };
  const auto selectAll = [](QLineEdit* b) { b->selectAll(); };
  struct Case {
    const char* name;
    std::vector<Edit> edits;
    std::vector<QString> afterEachUndo;  // the last one stays: nothing more to undo
  };
  const std::vector<Case> cases = {
      {"one run of typing is one step", {type("4006")}, {"", ""}},
      {"typing elsewhere is a new step", {type("12"), key(Qt::Key_Home), type("9")}, {"12", "", ""}},
      {"a paste over a selection", {type("12"), paste("ABC")}, {"12", ""}},
      {"typing over a selection", {type("12"), selectAll, type("34")}, {"12", ""}},
      {"a deletion", {type("123"), key(Qt::Key_Backspace), key(Qt::Key_Backspace)}, {"12", "123", ""}},
      {"a paste of what is there changes nothing", {paste("77"), paste("77")}, {"", ""}},
  };
  for (const Case& c : cases) {
    Shown s;
    ui::ValueBox* box = s.window.Text1;
    for (const Edit& edit : c.edits) edit(box);
    for (const QString& want : c.afterEachUndo) {
      QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
      EXPECT_EQ(box->text(), want) << c.name;
      EXPECT_EQ(s.window.State().ItfText, ui::DeriveState(ui::Std16(want)).ItfText) << c.name;
    }
  }
}

TEST(ValueBox, RedoUntilTheNextEdit) {
  Shown s;
  ui::ValueBox* box = s.window.Text1;
  QTest::keyClicks(box, "12");
  Paste(box, QStringLiteral("X"));
  QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
  QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(box->text(), QStringLiteral("X"));
  QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
  QTest::keyClicks(box, "3");
  QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(box->text(), QStringLiteral("123")) << "an edit ends what there was to redo";
}

// Each paste of a long value costs one copy of it, and only the last 100
// edits are kept; the box's own per-character record is dropped.
TEST(ValueBox, KeepsTheLast100Edits) {
  Shown s;
  ui::ValueBox* box = s.window.Text1;
  QSignalSpy changes(box, &QLineEdit::textChanged);
  const auto value = [](int i) { return QString::number(i) + QString(32000, u'7'); };
  for (int i = 0; i < 150; ++i) Paste(box, value(i));
  EXPECT_EQ(changes.count(), 150) << "one change signal a paste, none for the dropped record";
  EXPECT_FALSE(box->isUndoAvailable()) << "QLineEdit's own record is dropped";
  Paste(box, value(149));
  EXPECT_FALSE(box->isUndoAvailable()) << "also after a paste of what was there";
  EXPECT_EQ(box->History().Steps(), ui::EditHistory::kMaxSteps);
  for (std::size_t i = 0; i <= ui::EditHistory::kMaxSteps; ++i)
    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(box->text(), value(49)) << "100 steps back, and no further";
  EXPECT_EQ(changes.count(), 251);
  EXPECT_EQ(s.window.State().Code39Text, ui::Std16(value(49)));
}

TEST(ValueBox, ContextMenuUndoesThroughTheHistory) {
  Shown s;
  ui::ValueBox* box = s.window.Text1;
  QTest::keyClicks(box, "12");
  Paste(box, QStringLiteral("ABC"));
  QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), box->mapToGlobal(QPoint(5, 5)));
  QApplication::sendEvent(box, &event);
  QMenu* menu = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* m = qobject_cast<QMenu*>(w); m && m->isVisible()) menu = m;
  ASSERT_NE(menu, nullptr);
  QAction* undo = nullptr;
  QAction* redo = nullptr;
  for (QAction* a : menu->actions()) {
    if (a->text().startsWith(QLatin1String("&Undo"))) undo = a;
    if (a->text().startsWith(QLatin1String("&Redo"))) redo = a;
  }
  ASSERT_TRUE(undo && redo);
  EXPECT_TRUE(undo->isEnabled());
  EXPECT_FALSE(redo->isEnabled());
  undo->trigger();
  EXPECT_EQ(box->text(), QStringLiteral("12"));
  menu->close();
}

// In the value box Ctrl+C copies the selected text; on the picture Shift+F10
// opens its context menu, whose Copy puts the symbols on the clipboard, with
// no dialog after. The copy of the longest Code 39 is quick. The menu key and
// the pictures copied: e2e_window.sh, on a real X server.
TEST(Form1, CopyFromThePicture) {
  Shown s;
  Form1& w = s.window;
  QClipboard* clipboard = QApplication::clipboard();
  QTest::keyClicks(w.Text1, QStringLiteral("123"));
  QTest::keyClick(w.Text1, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(w.Text1, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(clipboard->text(), QStringLiteral("123"));
  QTest::keyClick(w.Text1, Qt::Key_Tab);
  QTest::keyClick(w.img, Qt::Key_F10, Qt::ShiftModifier);
  auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(menu->accessibleName(), QStringLiteral("Barcodes"));
  ASSERT_EQ(menu->actions().size(), 1);
  EXPECT_EQ(menu->actions().front()->text(), QStringLiteral("Copy"));
  QTest::keyClick(menu, Qt::Key_Return);
  EXPECT_EQ(clipboard->text(), QStringLiteral("SCC14: 12300000000006\n3 of 9: 123\n"
                                              "UPC-A: 123000000006\nEAN-13: 1230000000000"));
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

  Paste(w.Text1, QString(32766, QLatin1Char('7')));
  QTest::keyClick(w.img, Qt::Key_Insert, Qt::ControlModifier);
  EXPECT_TRUE(clipboard->text().contains(QString(32766, QLatin1Char('7')).prepend("3 of 9: ")));
}

// What the window gives screen readers; the roles and the label relation,
// as the AT-SPI bridge shows them, are tested on a real accessibility bus
// (a11y_tree.sh).
TEST(Form1, AccessibleNames) {
  Shown s;
  EXPECT_EQ(s.window.Text1->accessibleName(), QString()) << "named by its label";
  EXPECT_EQ(s.window.Label1->buddy(), s.window.Text1);
  EXPECT_EQ(s.window.Command1->accessibleName(), QStringLiteral("Print"));
  EXPECT_EQ(s.window.windowTitle(), QStringLiteral("Form1"));
  // Eleven digits and two spaces: ITF-14 bars of 12 digits, no UPC-A.
  QTest::keyClicks(s.window.Text1, QStringLiteral("12345678901  X"));
  EXPECT_EQ(s.window.img->accessibleDescription(),
            QStringLiteral("SCC14: 123456789012; 3 of 9: 12345678901  X; UPC-A: no symbol; "
                           "EAN-13: no symbol"));
}

// Run with QT_SCALE_FACTOR=2: the layout keeps its logical size, and every
// dark module is one device pixel wide at its twips.
TEST(HiDpi, LinesAreOneDevicePixelWide) {
  Shown s;
  Form1& w = s.window;
  ASSERT_EQ(w.devicePixelRatio(), 2);
  EXPECT_EQ(w.img->size(), QSize(649, 353));
  QTest::keyClicks(w.Text1, QStringLiteral("4006381333931"));
  const QImage img = w.img->grab().toImage();
  ASSERT_EQ(img.size(), QSize(1298, 706));
  // 7.5 twips a device pixel at 192 dots per inch.
  const auto column = [](double twips) { return static_cast<int>(std::lround(twips / 7.5)); };
  const barcode::BarPattern& bars = w.State().UpcaBars;
  const int y = column(2820 + 450);
  std::vector<bool> want(static_cast<std::size_t>(img.width()), false);
  for (std::size_t i = 1; i <= bars.size(); ++i)
    want[static_cast<std::size_t>(column(100 + 20.0 * static_cast<double>(i)))] = bars[i - 1] == '1';
  for (int x = column(120) - 3; x <= column(100 + 20 * 95) + 3; ++x)
    EXPECT_EQ(Dark(img, x, y), want[static_cast<std::size_t>(x)]) << "device column " << x;
}

namespace {

// A job whose print system says, one answer after another, what `says`
// holds (the last one again once they are used up).
struct ScriptedJob final : ui::FollowedJob {
  ScriptedJob(std::u16string printer, std::vector<ui::JobReport> says, std::u16string refuseCancel,
              std::vector<std::u16string>* cancelled)
      : printer_(std::move(printer)), says_(std::move(says)), refuse_(std::move(refuseCancel)),
        cancelled_(cancelled) {}
  std::u16string Printer() const override { return printer_; }
  long long Id() const override { return 9; }
  ui::JobHints Hints() const override { return {}; }
  std::optional<ui::JobReport> Ask(std::u16string& why) override {
    if (says_.empty()) {  // the print system does not answer
      why = u"The print service (CUPS) does not answer: it was given 3 s.";
      return std::nullopt;
    }
    const ui::JobReport r = says_[std::min(next_, says_.size() - 1)];
    ++next_;
    return r;
  }
  std::u16string Cancel() override {
    cancelled_->push_back(printer_);
    return refuse_;
  }
  std::u16string printer_;
  std::vector<ui::JobReport> says_;
  std::size_t next_ = 0;
  std::u16string refuse_;
  std::vector<std::u16string>* cancelled_;
};

ui::JobReport State(ui::JobReport::Job job, std::vector<std::string> printerReasons = {}) {
  ui::JobReport r;
  r.job = job;
  r.printer = ui::JobReport::Printer::kProcessing;
  r.printerReasons = std::move(printerReasons);
  return r;
}

// Waits for `done`, the window's events going on meanwhile, up to a bound
// that only a fault reaches.
bool WaitFor(const std::function<bool()>& done) { return QTest::qWaitFor(done, 60000); }

QAbstractButton* Button(QMessageBox* box, const QString& text) {
  for (QAbstractButton* b : box->buttons())
    if (b->text() == text) return b;
  return nullptr;
}

}  // namespace

// Jobs followed after Print: one message at a time, never a stack; "Cancel
// the job" cancels it (and a refusal is said), "Leave it" leaves it; a job
// that prints says nothing.
TEST(JobWatch, OneMessageAtATime) {
  Shown s;
  ui::JobWatch& jobs = s.window.Jobs();
  std::vector<std::u16string> cancelled;
  using J = ui::JobReport::Job;
  jobs.Follow(std::make_unique<ScriptedJob>(
      u"Printed", std::vector{State(J::kProcessing), State(J::kCompleted)}, u"", &cancelled));
  jobs.Follow(std::make_unique<ScriptedJob>(
      u"Out", std::vector{State(J::kProcessing, {"media-empty"})}, u"", &cancelled));
  // Held a second after the other's fault: its message comes while that one is shown.
  jobs.Follow(std::make_unique<ScriptedJob>(
      u"Held", std::vector{State(J::kProcessing), State(J::kProcessing), State(J::kHeld)},
      u"Not authorized.", &cancelled));
  ASSERT_TRUE(WaitFor([&jobs] { return jobs.Shown() != nullptr && jobs.Following() == 0; }));
  int boxes = 0;
  for (QWidget* w : QApplication::topLevelWidgets())
    boxes += qobject_cast<QMessageBox*>(w) != nullptr && w->isVisible();
  EXPECT_EQ(boxes, 1) << "never a stack of messages";
  struct Step {
    const char* says;
    const char* press;
  };
  for (const Step& step :
       {Step{"The printer \"Out\" reports that it is out of paper or labels.", "Leave it"},
        Step{"The page waits, held, in the queue of the printer \"Held\" (job 9).", "Cancel the job"},
        Step{"The job for the printer \"Held\" (job 9) could not be cancelled: Not authorized.", "OK"}}) {
    SCOPED_TRACE(step.says);
    ASSERT_TRUE(WaitFor([&jobs] { return jobs.Shown() != nullptr; }));
    QMessageBox* box = jobs.Shown();
    EXPECT_TRUE(box->text().startsWith(QString::fromUtf8(step.says))) << box->text().toStdString();
    QAbstractButton* press = Button(box, QString::fromUtf8(step.press));
    ASSERT_NE(press, nullptr) << box->text().toStdString();
    if (Button(box, QStringLiteral("Leave it"))) {
      EXPECT_EQ(box->defaultButton(), Button(box, QStringLiteral("Leave it"))) << "leaving it is the default";
    }
    press->click();
    ASSERT_TRUE(WaitFor([&jobs, box] { return jobs.Shown() != box; }));
  }
  EXPECT_EQ(cancelled, std::vector<std::u16string>{u"Held"}) << "only the cancelled job";
  EXPECT_TRUE(WaitFor([&jobs] { return jobs.UnderWay() == 0 && !jobs.Shown(); }));
}

// A print system that stops answering while a job is followed: said once
// the job has been followed its whole time, and that its fate is not known.
TEST(JobWatch, APrintSystemThatStopsAnswering) {
  Shown s;
  ui::JobWatch jobs(&s.window, 1000);
  std::vector<std::u16string> cancelled;
  QElapsedTimer clock;
  clock.start();
  jobs.Follow(std::make_unique<ScriptedJob>(u"Q", std::vector<ui::JobReport>{}, u"", &cancelled));
  ASSERT_TRUE(WaitFor([&jobs] { return jobs.Shown() != nullptr; }));
  EXPECT_GE(clock.elapsed(), 1000) << "not before the time is up";
  EXPECT_EQ(jobs.Shown()->text(),
            QStringLiteral("The page went to the printer \"Q\", but what became of it (job 9) is not "
                           "known: The print service (CUPS) does not answer: it was given 3 s. Look "
                           "at the printer's queue."));
  EXPECT_EQ(jobs.Shown()->buttons().size(), 1) << "nothing to cancel or leave";
  jobs.Shown()->accept();
}

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
