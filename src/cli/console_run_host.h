// ConsoleRunHost: a linking run's surroundings on a terminal or in a script.
//
// Messages go to stderr as "caption: text"; the "Problem in Linking, Continue?" question is
// answered by the problem policy (ask reads y/n from stdin); report text goes to stdout with
// LF line ends; the final status text goes to stderr; progress is a single self-rewriting line
// on stderr, only when stderr is a terminal. Called from the worker thread only.
#pragma once

#include <chrono>
#include <cstdio>
#include <string>

#include "run/run_host.h"

enum class ProblemPolicy { Ask, Continue, Stop };

class ConsoleRunHost : public RunHost {
 public:
  ConsoleRunHost(std::FILE* out, std::FILE* err, std::FILE* in, ProblemPolicy policy,
                 bool showProgress);

  MessageAnswer showMessage(const std::string& text, const std::string& caption,
                            MessageButtons buttons) override;
  void beep() override {}
  void setStatusText(const std::string& text) override;
  void postProgress(const ProgressNote& note) override;
  void postDone() override;
  void insertReportText(const std::string& text) override;

  // Caption printed for a message without one.
  static constexpr const char* kDefaultCaption = "torvak-link";

 private:
  void clearProgressLine();
  MessageAnswer ask();

  std::FILE* out_;
  std::FILE* err_;
  std::FILE* in_;
  ProblemPolicy policy_;
  bool showProgress_;
  bool progressShown_ = false;
  int pairNumber_ = 0;
  std::string lastPair_;
  std::chrono::steady_clock::time_point lastDraw_{};
};
