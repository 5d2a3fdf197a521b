// ScriptedRunHost: a RunHost for tests that records everything and answers from a script.
#pragma once

#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "run/run_host.h"

struct RecordedMessage {
  std::string text;
  std::string caption;
  MessageButtons buttons;
};

class ScriptedRunHost : public RunHost {
 public:
  MessageAnswer showMessage(const std::string& text, const std::string& caption,
                            MessageButtons buttons) override;
  void beep() override { ++beeps; }
  void setStatusText(const std::string& text) override { statusTexts.push_back(text); }
  void postProgress(const ProgressNote& note) override;
  void postDone() override { ++donePosts; }
  void insertReportText(const std::string& text) override {
    if (outputView) report += text;
  }

  // Answers for OK/Cancel questions, in order; Cancel once the script is used up.
  std::deque<MessageAnswer> answers;
  // Called on every progress post (for example to press Stop at a given moment).
  std::function<void(const ProgressNote&)> onProgress;

  std::vector<RecordedMessage> messages;
  std::vector<ProgressNote> progress;
  std::vector<std::string> statusTexts;
  std::string report;
  bool outputView = true;  // false: the output window is gone, report text is dropped
  int beeps = 0;
  int donePosts = 0;

  // The texts of all messages, for compact assertions.
  std::vector<std::string> messageTexts() const;
  std::vector<std::string> captions() const;
};
