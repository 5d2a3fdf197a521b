#include "app/profile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

const char* const kRecentSection = "Recent File List";
const char* const kSettingsSection = "Settings";

}  // namespace

Profile::Profile(QString path) : path_(std::move(path)) {}

QString Profile::defaultPath() {
  QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
  if (base.isEmpty()) base = QDir::homePath() + "/.config";
  return base + "/torvak/torvak.ini";
}

void Profile::load() {
  QFile file(path_);
  if (!file.open(QIODevice::ReadOnly)) return;
  QString section;
  QStringList recent(kRecentFileCount);
  while (!file.atEnd()) {
    const QString line = QString::fromUtf8(file.readLine()).trimmed();
    if (line.startsWith('[') && line.endsWith(']')) {
      section = line.mid(1, line.size() - 2).trimmed();
      continue;
    }
    const qsizetype equals = line.indexOf('=');
    if (equals < 0) continue;
    const QString key = line.left(equals).trimmed();
    const QString value = line.mid(equals + 1).trimmed();
    if (section.compare(kRecentSection, Qt::CaseInsensitive) == 0 &&
        key.startsWith("File", Qt::CaseInsensitive)) {
      bool ok = false;
      const int number = key.mid(4).toInt(&ok);
      if (ok && number >= 1 && number <= kRecentFileCount) recent[number - 1] = value;
    } else if (section.compare(kSettingsSection, Qt::CaseInsensitive) == 0 &&
               key.compare("PreviewPages", Qt::CaseInsensitive) == 0) {
      setPreviewPages(value.toInt());
    } else if (section.compare(kSettingsSection, Qt::CaseInsensitive) == 0 &&
               key.compare("Threads", Qt::CaseInsensitive) == 0) {
      setThreads(value.toInt());
    }
  }
  recentFiles_.clear();
  for (const QString& entry : recent) {
    if (!entry.isEmpty() && !recentFiles_.contains(entry)) recentFiles_.append(entry);
  }
}

bool Profile::save() const {
  QDir().mkpath(QFileInfo(path_).absolutePath());
  QSaveFile file(path_);
  if (!file.open(QIODevice::WriteOnly)) return false;
  QString text = QString("[%1]\n").arg(kRecentSection);
  for (int i = 0; i < recentFiles_.size(); ++i) {
    text += QString("File%1=%2\n").arg(i + 1).arg(recentFiles_[i]);
  }
  text += QString("[%1]\nPreviewPages=%2\nThreads=%3\n")
              .arg(kSettingsSection)
              .arg(previewPages_)
              .arg(threads_);
  file.write(text.toUtf8());
  return file.commit();
}

void Profile::addRecentFile(const QString& path) {
  recentFiles_.removeAll(path);
  recentFiles_.prepend(path);
  while (recentFiles_.size() > kRecentFileCount) recentFiles_.removeLast();
}

void Profile::removeRecentFile(const QString& path) { recentFiles_.removeAll(path); }
