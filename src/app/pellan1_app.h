// CPellan1App: the desktop program's application object.
//
// Reads the profile, parses the command line, creates the main window and shows it; the
// profile is written back whenever the recent-file list changes.
#pragma once

#include <QApplication>
#include <memory>

class CMainFrame;
class Profile;

class CPellan1App : public QApplication {
  Q_OBJECT

 public:
  // --help and --version answered before the toolkit starts, so they work without a display,
  // and --plots, which needs no display either: the exit status, or -1 when none was asked
  // for.
  static int answerWithoutWindow(int argc, char** argv);

  CPellan1App(int& argc, char** argv);
  ~CPellan1App() override;

  // Returns the process exit status when the program must end at once (help, version, a bad
  // command line, a file that cannot be opened), or -1 when the main window is up.
  int initInstance();
  CMainFrame* mainFrame() const { return mainFrame_.get(); }

 private:
  std::unique_ptr<Profile> profile_;
  std::unique_ptr<CMainFrame> mainFrame_;
};
