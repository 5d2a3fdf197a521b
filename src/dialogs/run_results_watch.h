// RunResultsWatch: hands a desktop run's results to its shell once the worker has finished.
//
// The worker marks the job finished after its last post, and nothing on the user-interface
// thread hears of it; the watch looks at the job on a short timer, then gathers the run's
// RunResults (its status, its pairs' outcomes, the messages shown, each with its pair) for
// LinkingShell::keepRunResults and deletes itself. It is a child of the shell's window, so a
// window that goes first takes the watch with it.
#pragma once

#include <QObject>
#include <QTimer>
#include <memory>

class LinkingShell;
class MessageLogHost;
struct LinkingJob;

class RunResultsWatch : public QObject {
  Q_OBJECT

 public:
  static constexpr int kIntervalMs = 100;

  // status receives the worker's return value (startLinkingThread's status).
  RunResultsWatch(std::shared_ptr<LinkingJob> job, std::shared_ptr<MessageLogHost> log,
                  std::shared_ptr<int> status, LinkingShell* shell, int outputId,
                  bool showResults);

 private:
  void look();

  std::shared_ptr<LinkingJob> job_;
  std::shared_ptr<MessageLogHost> log_;
  std::shared_ptr<int> status_;
  LinkingShell* shell_;
  int outputId_;
  bool showResults_;
  QTimer timer_;
};
