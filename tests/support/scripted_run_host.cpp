#include "support/scripted_run_host.h"

MessageAnswer ScriptedRunHost::showMessage(const std::string& text, const std::string& caption,
                                           MessageButtons buttons) {
  messages.push_back({text, caption, buttons});
  if (buttons == MessageButtons::Ok) return MessageAnswer::Ok;
  if (answers.empty()) return MessageAnswer::Cancel;
  const MessageAnswer answer = answers.front();
  answers.pop_front();
  return answer;
}

void ScriptedRunHost::postProgress(const ProgressNote& note) {
  progress.push_back(note);
  if (onProgress) onProgress(note);
}

std::vector<std::string> ScriptedRunHost::messageTexts() const {
  std::vector<std::string> texts;
  for (const auto& m : messages) texts.push_back(m.text);
  return texts;
}

std::vector<std::string> ScriptedRunHost::captions() const {
  std::vector<std::string> texts;
  for (const auto& m : messages) texts.push_back(m.caption);
  return texts;
}
