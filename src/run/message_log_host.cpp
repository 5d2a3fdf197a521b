#include "run/message_log_host.h"

MessageAnswer MessageLogHost::showMessage(const std::string& text, const std::string& caption,
                                          MessageButtons buttons) {
  // The question after a failed pair is not its cause; the warnings before it are.
  if (buttons == MessageButtons::Ok) {
    entries_.push_back({pairsAnnounced_, caption.empty() ? text : caption + ": " + text});
  }
  return inner_->showMessage(text, caption, buttons);
}

void MessageLogHost::postProgress(const ProgressNote& note) {
  if (note.searchStep == 0) ++pairsAnnounced_;
  inner_->postProgress(note);
}

std::vector<std::string> attachPairMessages(std::vector<PairOutcome>& outcomes,
                                            const std::vector<MessageLogHost::Entry>& log) {
  std::vector<std::string> runMessages;
  for (const MessageLogHost::Entry& entry : log) {
    if (entry.pair < 1 || entry.pair > static_cast<int>(outcomes.size())) {
      runMessages.push_back(entry.text);
      continue;
    }
    // The start and the data of a pair read the same files: a failure may be shown twice.
    std::string& message = outcomes[entry.pair - 1].message;
    const auto lastLine = message.rfind('\n');
    if (message.substr(lastLine == std::string::npos ? 0 : lastLine + 1) == entry.text) continue;
    if (!message.empty()) message += "\n";
    message += entry.text;
  }
  return runMessages;
}
