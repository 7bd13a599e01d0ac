// Following jobs on threads of their own, and one message at a time.
#include "ui/linux/qt/job_watch.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>
#include <chrono>
#include <functional>

#include "ui/core/messages.h"
#include "ui/linux/qt/qt_text.h"

namespace ui {

QMessageBox* NewPrintMessage(QWidget* window, const QString& text) {
  auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Print"), QString(),
                              QMessageBox::NoButton, window);
  box->setTextFormat(Qt::PlainText);
  box->setText(text);
  return box;
}

namespace {

// Work for the window's thread, sent from a following thread through the
// window's event queue, which owns it from then on.
class Call final : public QEvent {
 public:
  explicit Call(std::function<void()> work) : QEvent(Kind()), work_(std::move(work)) {}
  static Type Kind() {
    static const auto kind = static_cast<Type>(registerEventType());
    return kind;
  }
  void Run() const { work_(); }

 private:
  std::function<void()> work_;
};

}  // namespace

struct JobWatch::Followed {
  std::unique_ptr<FollowedJob> job;
  std::thread thread;
  bool finished = false;  // its thread has ended
  bool told = false;      // its fate was told and answered
};

JobWatch::JobWatch(QWidget* window, int followMs)
    : QObject(window), window_(window), followMs_(followMs) {}

JobWatch::~JobWatch() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  for (auto& f : followed_)
    if (f->thread.joinable()) f->thread.join();
  if (box_) box_->deleteLater();
}

int JobWatch::UnderWay() const {
  int n = 0;
  for (const auto& f : followed_) n += !f->told;
  return n;
}

int JobWatch::Following() const {
  return static_cast<int>(std::count_if(followed_.begin(), followed_.end(),
                                        [](const auto& f) { return !f->finished; }));
}

void JobWatch::Follow(std::unique_ptr<FollowedJob> job) {
  // Jobs told of long ago go first.
  std::erase_if(followed_, [](const std::unique_ptr<Followed>& f) {
    if (!f->told || !f->finished) return false;
    if (f->thread.joinable()) f->thread.join();
    return true;
  });
  auto& f = followed_.emplace_back(std::make_unique<Followed>());
  f->job = std::move(job);
  Followed* followed = f.get();
  f->thread = std::thread([this, followed] { Run(followed); });
}

void JobWatch::Run(Followed* followed) {
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  std::u16string lost;  // why the print system could not be asked, last time
  JobFate fate;
  for (;;) {
    const bool timeUp = Clock::now() - start >= std::chrono::milliseconds(followMs_);
    std::u16string why;
    if (const std::optional<JobReport> report = followed->job->Ask(why)) {
      lost.clear();
      fate = JudgeJob(followed->job->Printer(), followed->job->Id(), *report, timeUp,
                      followed->job->Hints());
    } else {
      lost = why;
      if (timeUp) {
        fate = {true, JobLostSight(followed->job->Printer(), followed->job->Id(), lost), false};
      }
    }
    if (fate.done) break;
    std::unique_lock lock(mutex_);
    if (wake_.wait_for(lock, std::chrono::milliseconds(kEveryMs), [this] { return stopping_; }))
      return;
  }
  {
    const std::lock_guard lock(mutex_);
    if (stopping_) return;
  }
  QCoreApplication::postEvent(this, new Call([this, followed, fate] { Judged(followed, fate); }));
}

bool JobWatch::event(QEvent* event) {
  if (event->type() != Call::Kind()) return QObject::event(event);
  static_cast<const Call*>(event)->Run();
  return true;
}

void JobWatch::Judged(Followed* followed, JobFate fate) {
  if (followed->thread.joinable()) followed->thread.join();
  followed->finished = true;
  if (fate.text.empty()) {  // it printed
    followed->told = true;
    return;
  }
  waiting_.emplace_back(followed, std::move(fate));
  ShowNext();
}

// One message at a time: one that comes while another is shown waits for it.
void JobWatch::ShowNext() {
  if (box_ || waiting_.empty()) return;
  Followed* followed = waiting_.front().first;
  const JobFate fate = std::move(waiting_.front().second);
  waiting_.pop_front();
  QMessageBox* box = NewPrintMessage(window_, Qt16(fate.text));
  box->setAttribute(Qt::WA_DeleteOnClose);
  QPushButton* cancel = nullptr;
  if (fate.canStillPrint) {
    cancel = box->addButton(QStringLiteral("Cancel the job"), QMessageBox::DestructiveRole);
    QPushButton* leave = box->addButton(QStringLiteral("Leave it"), QMessageBox::AcceptRole);
    box->setDefaultButton(leave);
    box->setEscapeButton(leave);
  } else {
    box->setStandardButtons(QMessageBox::Ok);
  }
  box_ = box;
  const QString text = Qt16(fate.text);
  connect(box, &QMessageBox::finished, this, [this, box, cancel, followed, text] {
    const bool cancelled = cancel && box->clickedButton() == cancel;
    followed->told = true;
    box_ = nullptr;
    if (cancelled) {
      // Said only when the print system refuses: then the user is told why.
      const std::u16string refused = followed->job->Cancel();
      if (!refused.empty())
        waiting_.emplace_front(followed, JobFate{true, JobNotCancelled(followed->job->Printer(),
                                                                       followed->job->Id(), refused),
                                                 false});
    }
    emit Told(text);
    ShowNext();
  });
  box->open();
}

}  // namespace ui
