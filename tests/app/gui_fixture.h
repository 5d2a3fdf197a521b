// GuiFixture: a fresh main window over a profile in a temporary folder, and the helpers the
// GUI tests share: waiting with the event loop running, answering modal boxes, and a copy of
// the shipped examples to run (so reports are written in the temporary folder).
#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>
#include <ostream>

#include "app/main_frame.h"
#include "app/profile.h"
#include "support/temp_dir.h"

class QAction;
class CPellan1View;

// Readable QString values in test failures.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

// The whole text of a UTF-8 file (empty when it cannot be read).
QString readText(const QString& path);

// Runs the event loop until done() holds or timeoutMs passes; returns done().
bool waitUntil(const std::function<bool()>& done, int timeoutMs = 15000);

// Answers the modal boxes that come up while it lives, in order: each answer is the text of
// the button to press ("OK", "Cancel", "&Yes", "&No", ...). Records each box's text.
class BoxAnswerer {
 public:
  explicit BoxAnswerer(QStringList answers);
  ~BoxAnswerer();
  const QStringList& texts() const { return texts_; }
  bool allAnswered() const { return answers_.isEmpty(); }

 private:
  void answerActiveBox();
  QStringList answers_;
  QStringList texts_;
  QTimer timer_;
};

class GuiFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Copies examples/<name>.ini and every data file into the temporary folder.
  QString example(const QString& name) const;
  QString expectedOutput(const QString& name) const;
  QString write(const QString& name, const QByteArray& bytes) const;
  QAction* action(int id) const;
  QStringList visibleMenus() const;
  QStringList subWindowTitles() const;
  // The output window of a run of the parameter file at path; null when there is none.
  CPellan1View* outputView(const QString& path) const;

  TempDir dir_;
  std::unique_ptr<Profile> profile_;
  std::unique_ptr<CMainFrame> frame_;
};
