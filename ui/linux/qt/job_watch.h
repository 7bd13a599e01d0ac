// Following the jobs the window handed to the print system until what
// became of each is known (the job's fate, judged by the core), on threads
// of their own so that the window stays live, and telling the user in one
// message at a time, with "Cancel the job" where the page may still print.
#pragma once

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "ui/core/job_fate.h"

class QWidget;

namespace ui {

// A message of the window's about printing, owned by `window`: a warning
// whose text is shown, and read by screen readers, as the characters it
// holds. It always says so (plain text): Qt would otherwise guess from the
// text whether it is markup, and a printer's name or words that look like
// markup would be shown bold, as a link that opens the web browser, or as a
// picture loaded from a path the text names.
QMessageBox* NewPrintMessage(QWidget* window, const QString& text);

// One job, as its print system is asked about it.
class FollowedJob {
 public:
  virtual ~FollowedJob() = default;
  virtual std::u16string Printer() const = 0;
  virtual long long Id() const = 0;
  virtual JobHints Hints() const = 0;
  // What the print system says now, or nullopt with `why` (for the user)
  // when it could not be asked. Blocks no longer than the print system's
  // time-out; called on the following thread.
  virtual std::optional<JobReport> Ask(std::u16string& why) = 0;
  // Cancels the job: the empty text, or why it could not be cancelled.
  virtual std::u16string Cancel() = 0;
};

class JobWatch final : public QObject {
  Q_OBJECT

 public:
  // How often a followed job is asked about.
  static constexpr int kEveryMs = 500;

  // Messages are owned by `window`; a job is followed for `followMs` at most.
  explicit JobWatch(QWidget* window, int followMs = kFollowMs);
  // Stops following (each thread ends within its print system's time-out).
  ~JobWatch() override;

  void Follow(std::unique_ptr<FollowedJob> job);

  // The message shown now, if any (for tests).
  QMessageBox* Shown() const { return box_; }
  // Jobs still followed, or told of and waiting for the user's answer.
  int UnderWay() const;
  // Jobs whose fate is not yet judged (for tests).
  int Following() const;

 protected:
  // Runs what a following thread sent to this, the window's, thread.
  bool event(QEvent* event) override;

 signals:
  // A fate was told and answered (or needed no answer): for tests.
  void Told(const QString& text);

 private:
  struct Followed;
  void Run(Followed* followed);
  void Judged(Followed* followed, JobFate fate);
  void ShowNext();

  QWidget* window_;
  int followMs_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  bool stopping_ = false;
  std::vector<std::unique_ptr<Followed>> followed_;
  std::deque<std::pair<Followed*, JobFate>> waiting_;  // to be told, in order
  QPointer<QMessageBox> box_;
};

}  // namespace ui
