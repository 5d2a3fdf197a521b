// MessageLogHost: a RunHost that passes every call on to another host and keeps a log of the
// warnings shown (messages with an OK button), each with the pair in work when it came.
//
// Pairs are counted from the progress notes that announce them (search step 0), so the log
// can be matched with the job's pair outcomes after the run. Called from the worker thread;
// read the log once the worker has finished.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "run/pair_outcome.h"
#include "run/run_host.h"

class MessageLogHost : public RunHost {
 public:
  struct Entry {
    int pair;          // 1 for the first pair announced; 0 before any
    std::string text;  // "caption: text", or the text alone when there is no caption
  };

  explicit MessageLogHost(std::shared_ptr<RunHost> inner) : inner_(std::move(inner)) {}

  MessageAnswer showMessage(const std::string& text, const std::string& caption,
                            MessageButtons buttons) override;
  void beep() override { inner_->beep(); }
  void setStatusText(const std::string& text) override { inner_->setStatusText(text); }
  void announceEnding(const RunEnding& ending) override { inner_->announceEnding(ending); }
  void postProgress(const ProgressNote& note) override;
  void postDone() override { inner_->postDone(); }
  void insertReportText(const std::string& text) override { inner_->insertReportText(text); }

  const std::vector<Entry>& entries() const { return entries_; }

 private:
  std::shared_ptr<RunHost> inner_;
  std::vector<Entry> entries_;
  int pairsAnnounced_ = 0;
};

// Puts the logged messages of pair k into outcomes[k - 1].message (one per line, a repeat of
// the line before left out) and returns
// the messages of the run itself (those before the first pair, or of a pair with no outcome).
std::vector<std::string> attachPairMessages(std::vector<PairOutcome>& outcomes,
                                            const std::vector<MessageLogHost::Entry>& log);
