// Every row of the bad-input catalogue through Run > Linking in the desktop program: the
// boxes it shows, the final status text, and no partial report block in the output window or
// the report file.
#include <QApplication>
#include <QMdiArea>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTextDocument>
#include <QTimer>

#include "app/gui_fixture.h"
#include "app/pellan1_doc.h"
#include "dialogs/linking_progress_dialog.h"
#include "dialogs/start_linking_run.h"
#include "run/linking_job.h"
#include "support/bad_inputs.h"

namespace {

// Answers every box of a run: Cancel where there is one (the run's question), else OK.
class AnyBoxAnswerer {
 public:
  AnyBoxAnswerer() {
    QObject::connect(&timer_, &QTimer::timeout, [this] { answer(); });
    timer_.start(5);
  }
  std::string shown;  // every box's caption and text

 private:
  void answer() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || !box->isVisible()) return;
    shown += (box->windowTitle() + ": " + box->text() + "\n").toStdString();
    QAbstractButton* cancel = box->button(QMessageBox::Cancel);
    (cancel != nullptr ? cancel : box->button(QMessageBox::Ok))->click();
  }
  QTimer timer_;
};

}  // namespace

class BadInputCatalogue : public GuiFixture {};

TEST_F(BadInputCatalogue, TheDesktopAnswersEveryRow) {
  for (const BadInput& input : badInputs()) {
    if (!skipReason(input).empty()) continue;
    SCOPED_TRACE(input.name);
    TempDir dir;
    const QString path = QString::fromStdString(input.write(dir));
    AnyBoxAnswerer boxes;
    QPointer<LinkingProgressDialog> dialog = StartLinkingRun(path, frame_.get());
    ASSERT_FALSE(dialog.isNull());
    auto job = dialog->job();
    ASSERT_TRUE(waitUntil([&] { return job->workerFinished.load(); }, 60000));
    // The runner's own warnings ("nothing was linked") have no box in the desktop.
    if (input.status != 0 || input.shown.find("Can't open") != std::string::npos ||
        input.shown.find("numbered") != std::string::npos) {
      EXPECT_NE(boxes.shown.find(input.shown), std::string::npos) << boxes.shown;
    }
    const bool preScanFailed = input.shown == "Can't open initial file";
    if (!preScanFailed) {
      ASSERT_TRUE(waitUntil([&] { return dialog.isNull() || !dialog->isVisible(); }));
      // The final status says what torvak-link's exit status says.
      const QString status = frame_->runStatusText();
      EXPECT_TRUE(status.endsWith(": " + path)) << status.toStdString();
      const int exit = input.exits.front();
      if (input.status != 0) {
        EXPECT_EQ(status, QString("Error: (%1) in Linking: ").arg(input.status) + path);
      } else if (exit == 0) {
        EXPECT_EQ(status, "Linking Done: " + path);
      } else {
        const char* says = exit == 72 ? "Nothing linked" : exit == 73 ? "skipped" : "not written";
        EXPECT_TRUE(status.contains(says)) << status.toStdString();
      }
    } else if (dialog) {
      dialog->close();
    }
    EXPECT_TRUE(onlyWholeBlocks(readWholeFile(dir.file("report.txt"))));
    for (CPellan1Doc* doc : frame_->documents()) {
      const std::string text = doc->textDocument()->toPlainText().toStdString();
      EXPECT_TRUE(onlyWholeBlocks(text)) << text;
      doc->setModified(false);
    }
    frame_->mdiArea()->closeAllSubWindows();
    waitUntil([&] { return frame_->documents().isEmpty(); });
  }
}
