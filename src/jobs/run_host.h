// RunHost: the services a linking run needs from its surroundings.
//
// The engines and the worker never talk to a window or a terminal; they call this interface,
// which the desktop program, the command-line runner and the tests implement. All calls come
// from the worker thread. Implementations that talk to a user-interface thread must carry the
// call over (blocking for messages and report text, queued for progress and done).
#pragma once

#include <limits>
#include <string>

enum class MessageButtons { Ok, OkCancel };
enum class MessageAnswer { Ok, Cancel };

// What a progress post carries: copies of the names of the pair in work, and, during a
// search, the number of steps taken in it and the current criterion.
struct ProgressNote {
  std::string fromFileName;
  std::string toFileName;
  std::string empiricalFileName;
  long searchStep = 0;  // 0 outside a search
  double criterion = std::numeric_limits<double>::quiet_NaN();
};

class RunHost {
 public:
  virtual ~RunHost() = default;

  // A warning box. An empty caption stands for the default caption.
  virtual MessageAnswer showMessage(const std::string& text, const std::string& caption,
                                    MessageButtons buttons) = 0;
  virtual void beep() = 0;
  virtual void setStatusText(const std::string& text) = 0;
  virtual void postProgress(const ProgressNote& note) = 0;
  virtual void postDone() = 0;
  // Whether the run has an output window; report text for a run without one is dropped.
  virtual bool hasOutputView() const = 0;
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
  bool hasOutputView() const override { return false; }
  void insertReportText(const std::string&) override {}
};
