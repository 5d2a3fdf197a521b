// Profile: the desktop program's private settings file.
//
// Holds the recent-file list (at most six entries, most recent first) and the print preview's
// page count, in an INI file: "[Recent File List]" with File1 .. File6 and "[Settings]" with
// PreviewPages and Threads (the threads of a Model 3 or 4 run; 0, the default, is one per
// core). The file is read and written by hand (QSettings would escape the section
// names and garble paths with commas or backslashes). Section names are matched without
// regard to case; a line is split at its first "=". The default location is
// $XDG_CONFIG_HOME/torvak/torvak.ini (~/.config when the variable is unset).
#pragma once

#include <QString>
#include <QStringList>

class Profile {
 public:
  static constexpr int kRecentFileCount = 6;

  explicit Profile(QString path);
  static QString defaultPath();

  // Reads the file; a missing or unreadable file leaves the defaults.
  void load();
  // Writes the file atomically; false when it could not be written.
  bool save() const;

  const QString& path() const { return path_; }
  const QStringList& recentFiles() const { return recentFiles_; }
  // Puts path first in the list (removing an earlier entry of it) and keeps six.
  void addRecentFile(const QString& path);
  void removeRecentFile(const QString& path);
  int previewPages() const { return previewPages_; }
  void setPreviewPages(int pages) { previewPages_ = pages == 2 ? 2 : 1; }
  int threads() const { return threads_; }
  // Out-of-range counts (below 0 or above kMaxThreads) mean one per core.
  void setThreads(int threads) { threads_ = threads >= 0 && threads <= kMaxThreads ? threads : 0; }
  static constexpr int kMaxThreads = 1024;

 private:
  QString path_;
  QStringList recentFiles_;
  int previewPages_ = 1;
  int threads_ = 0;
};
