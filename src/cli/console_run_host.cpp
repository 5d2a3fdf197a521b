#include "cli/console_run_host.h"

#include <cmath>

#include "params/number_text.h"

ConsoleRunHost::ConsoleRunHost(std::FILE* out, std::FILE* err, std::FILE* in, ProblemPolicy policy,
                               bool showProgress)
    : out_(out), err_(err), in_(in), policy_(policy), showProgress_(showProgress) {}

void ConsoleRunHost::clearProgressLine() {
  if (!progressShown_) return;
  std::fputs("\r\033[K", err_);
  progressShown_ = false;
}

MessageAnswer ConsoleRunHost::showMessage(const std::string& text, const std::string& caption,
                                          MessageButtons buttons) {
  clearProgressLine();
  std::fprintf(err_, "%s: %s\n", caption.empty() ? kDefaultCaption : caption.c_str(), text.c_str());
  std::fflush(err_);
  if (buttons == MessageButtons::Ok) return MessageAnswer::Ok;
  switch (policy_) {
    case ProblemPolicy::Continue:
      std::fputs("torvak-link: continuing (--on-problem=continue)\n", err_);
      return MessageAnswer::Ok;
    case ProblemPolicy::Stop:
      std::fputs("torvak-link: stopping (--on-problem=stop)\n", err_);
      return MessageAnswer::Cancel;
    case ProblemPolicy::Ask:
      break;
  }
  return ask();
}

MessageAnswer ConsoleRunHost::ask() {
  for (;;) {
    std::fputs("Continue? [y/n] ", err_);
    std::fflush(err_);
    char line[64];
    if (std::fgets(line, sizeof line, in_) == nullptr) return MessageAnswer::Cancel;
    if (line[0] == 'y' || line[0] == 'Y') return MessageAnswer::Ok;
    if (line[0] == 'n' || line[0] == 'N') return MessageAnswer::Cancel;
  }
}

void ConsoleRunHost::setStatusText(const std::string& text) {
  clearProgressLine();
  std::fprintf(err_, "%s\n", text.c_str());
  std::fflush(err_);
}

void ConsoleRunHost::postProgress(const ProgressNote& note) {
  if (!showProgress_) return;
  const std::string pair = note.fromFileName + " -> " + note.toFileName;
  if (note.searchStep == 0) ++pairNumber_;
  // Redraw at most ten times a second, and whenever a new pair starts.
  const auto now = std::chrono::steady_clock::now();
  if (pair == lastPair_ && note.searchStep != 0 &&
      now - lastDraw_ < std::chrono::milliseconds(100)) {
    return;
  }
  lastPair_ = pair;
  lastDraw_ = now;
  std::string line = "\r\033[Kpair " + std::to_string(pairNumber_) + ": " + pair;
  if (note.searchStep > 0 && std::isfinite(note.criterion)) {
    line += "  step " + std::to_string(note.searchStep) + "  F=" + generalText(note.criterion, 7);
  }
  std::fputs(line.c_str(), err_);
  std::fflush(err_);
  progressShown_ = true;
}

void ConsoleRunHost::postDone() { clearProgressLine(); }

void ConsoleRunHost::insertReportText(const std::string& text) {
  clearProgressLine();
  std::string plain;
  plain.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    plain += text[i];
  }
  std::fputs(plain.c_str(), out_);
  std::fflush(out_);
}
