// RunHost: the services a linking run needs from its surroundings.
//
// The engines and the worker never talk to a window or a terminal; they call this interface,
// which the desktop program, the command-line runner and the tests implement.
//
// Threads: every call comes from the run's worker thread. A host that talks to a
// user-interface thread carries the call over. Only showMessage must block until the user
// answers; report text, status text, progress and done are values and may be delivered
// queued. Progress may come once per search step, so a host may coalesce it (show the latest
// note). The host is owned by the job (std::shared_ptr), so it lives as long as the worker can
// call it.
#pragma once

#include <string>

#include "run/progress_note.h"
#include "run/run_ending.h"

enum class MessageButtons { Ok, OkCancel };
enum class MessageAnswer { Ok, Cancel };

class RunHost {
 public:
  virtual ~RunHost() = default;

  // A warning box. An empty caption stands for the default caption.
  virtual MessageAnswer showMessage(const std::string& text, const std::string& caption,
                                    MessageButtons buttons) = 0;
  virtual void beep() = 0;
  virtual void setStatusText(const std::string& text) = 0;
  // The run's end, once, before the done post. By default the documented status text.
  virtual void announceEnding(const RunEnding& ending) {
    setStatusText(documentedStatusText(ending));
  }
  virtual void postProgress(const ProgressNote& note) = 0;
  virtual void postDone() = 0;
  // Report text for the run's output window; a host whose window is gone drops it.
  virtual void insertReportText(const std::string& text) = 0;
};

// A host that shows nothing and answers every question with Cancel.
class NullRunHost : public RunHost {
 public:
  MessageAnswer showMessage(const std::string&, const std::string&, MessageButtons) override {
    return MessageAnswer::Cancel;
  }
  void beep() override {}
  void setStatusText(const std::string&) override {}
  void postProgress(const ProgressNote&) override {}
  void postDone() override {}
  void insertReportText(const std::string&) override {}
};
