// Runs from the desktop: the output window, the progress dialog, Stop and close, questions,
// several runs at once, a closed output window, and quitting while runs work.
#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QWindow>
#include <QDir>
#include <QPointer>
#include <QFileInfo>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include "app/command_ids.h"
#include "app/gui_fixture.h"
#include "app/main_frame.h"
#include "app/pellan1_doc.h"
#include "app/pellan1_view.h"
#include "dialogs/linking_progress_dialog.h"
#include "dialogs/start_linking_run.h"
#include "jobs/linking_worker.h"
#include "run/linking_job.h"

class LinkingRun : public GuiFixture {
 protected:
  // A parameter file that links the large example pair `pairs` times: long enough to stop.
  QString longRun(int pairs) const {
    QString text = readText(example("m4_3d_empirical"));
    const QString entry = "$Data_Files 1= m4_3d_from.dat m4_3d_to.dat m4_3d_theta.dat";
    QString entries;
    for (int i = 1; i <= pairs; ++i) {
      entries += QString(entry).replace(" 1=", QString(" %1=").arg(i)) + "\n";
    }
    text.replace(entry, entries);
    return write("long.ini", text.toUtf8());
  }

  static bool closed(const QPointer<LinkingProgressDialog>& dialog) {
    return dialog.isNull() || !dialog->isVisible();
  }
};

TEST_F(LinkingRun, ExampleRunFillsItsTitledOutputWindowWithTheReport) {
  int threads = 0;
  for (const QString name : {"m1_2d", "m3_1d_grid", "m4_3d_empirical"}) {
    SCOPED_TRACE(name.toStdString());
    const QString path = example(name);
    profile_->setThreads(threads);  // the profile's count reaches the run; the text stays
    QPointer<LinkingProgressDialog> dialog = StartLinkingRun(path, frame_.get());
    EXPECT_EQ(dialog->job()->evaluation.threads, threads);
    EXPECT_EQ(profile_->recentFiles().value(0), path) << "a linked file enters the recent list";
    threads += 3;
    // The window is there before the worker had any chance to send text.
    CPellan1View* view = outputView(path);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(dialog->windowTitle(),
              "Please wait, linking in progress..... (" + QFileInfo(path).fileName() + ")");
    ASSERT_TRUE(waitUntil([&] { return closed(dialog); }));
    EXPECT_EQ(view->toPlainText(), expectedOutput(name));
    EXPECT_EQ(frame_->runStatusText(), "Linking Done: " + path);
    frame_->setStatusText("a menu's tip");  // passing texts leave the run's ending alone
    EXPECT_EQ(frame_->runStatusText(), "Linking Done: " + path);
    EXPECT_TRUE(view->doc()->isModified());
  }
}

TEST_F(LinkingRun, StopEndsTheRunAndTheDialogClosesWhenItHasWoundUp) {
  const QString path = longRun(400);
  QPointer<LinkingProgressDialog> dialog = StartLinkingRun(path, frame_.get());
  auto job = dialog->job();
  dialog->findChild<QPushButton*>("ID_1046")->click();
  dialog->findChild<QPushButton*>("ID_1046")->click();  // a second stop changes nothing
  ASSERT_TRUE(waitUntil([&] { return closed(dialog); }));
  EXPECT_EQ(frame_->runStatusText(), "Error: (8) in Linking: " + path);
  EXPECT_TRUE(waitUntil([&] { return job->workerFinished.load(); }));
}

TEST_F(LinkingRun, CloseRequestDuringARunStopsItInsteadOfClosing) {
  const QString path = longRun(400);
  QPointer<LinkingProgressDialog> dialog = StartLinkingRun(path, frame_.get());
  EXPECT_FALSE(dialog->close());
  EXPECT_TRUE(dialog->isVisible());
  ASSERT_TRUE(waitUntil([&] { return closed(dialog); }));
  EXPECT_EQ(frame_->runStatusText(), "Error: (8) in Linking: " + path);
}

TEST_F(LinkingRun, UnreadableParameterFileLeavesTheDialogOpenUntilClosed) {
  const QString path = QString::fromStdString(dir_.file("absent.ini"));
  BoxAnswerer answer({"OK"});
  QPointer<LinkingProgressDialog> dialog = StartLinkingRun(path, frame_.get());
  auto job = dialog->job();
  ASSERT_TRUE(waitUntil([&] { return job->workerFinished.load(); }));
  EXPECT_EQ(answer.texts(), QStringList{path});
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_TRUE(dialog->close());
}

TEST_F(LinkingRun, ProgressBarStepsTenAndWrapsPastTheEnd) {
  struct Case {
    int position, expected;
  };
  for (const Case c : {Case{0, 10}, Case{90, 100}, Case{100, 10}, Case{95, 5}}) {
    EXPECT_EQ(wrappingStep(c.position, 10, 0, 100), c.expected) << c.position;
  }
  auto job = std::make_shared<LinkingJob>();
  auto* dialog = new LinkingProgressDialog(job, frame_.get());
  ProgressNote note{"from.dat", "to.dat", "theta.dat", 3, 0.25};
  for (int i = 0; i < 11; ++i) dialog->showProgress(note, 1);
  EXPECT_EQ(dialog->progressBar()->value(), 10);
  dialog->showProgress(note, 11);  // eleven coalesced posts move it as far
  EXPECT_EQ(dialog->progressBar()->value(), 20);
  EXPECT_EQ(dialog->findChild<QLineEdit*>("ID_1026")->text(), "from.dat");
  EXPECT_EQ(dialog->findChild<QLineEdit*>("ID_1028")->text(), "theta.dat");
  EXPECT_EQ(dialog->findChild<QLabel*>("searchProgress")->text(), "Search step 3, criterion 0.25");
  dialog->show();
  dialog->findChild<QPushButton*>("ID_1040")->click();  // Hide
  EXPECT_TRUE(dialog->isMinimized());
  dialog->showProgress(note, 1);  // still updated while minimised
  EXPECT_EQ(dialog->progressBar()->value(), 30);
  dialog->showMaximized();
  EXPECT_TRUE(waitUntil([&] { return !dialog->isMaximized(); }, 2000));
  job->workerFinished = true;  // never started: closes at once
  EXPECT_TRUE(dialog->close());
}

TEST_F(LinkingRun, TwoRunsAtOnceFinishIndependently) {
  const QString first = example("m4_3d_empirical");
  const QString second = example("m3_2d_weighted");
  QPointer<LinkingProgressDialog> one = StartLinkingRun(first, frame_.get());
  QPointer<LinkingProgressDialog> two = StartLinkingRun(second, frame_.get());
  ASSERT_TRUE(waitUntil([&] { return closed(one) && closed(two); }));
  EXPECT_EQ(outputView(first)->toPlainText(), expectedOutput("m4_3d_empirical"));
  EXPECT_EQ(outputView(second)->toPlainText(), expectedOutput("m3_2d_weighted"));
}

TEST_F(LinkingRun, ClosingTheOutputWindowMidRunLosesNothingFromTheReportFile) {
  const QString path = longRun(12);
  // The same run without any window gives the reference report.
  auto reference = std::make_shared<LinkingJob>();
  reference->parameterFilePath = path.toStdString();
  reference->host = std::make_shared<NullRunHost>();
  ASSERT_EQ(LinkingThreadProc(reference.get()), 0);
  const QString report = QString::fromStdString(dir_.file("m4_3d_empirical-report.txt"));
  const QString expected = readText(report);
  QFile::remove(report);

  QPointer<LinkingProgressDialog> dialog = StartLinkingRun(path, frame_.get());
  BoxAnswerer answer({"&No"});  // asked only when some text already arrived
  outputView(path)->parentWidget()->close();
  ASSERT_TRUE(waitUntil([&] { return closed(dialog); }));
  EXPECT_EQ(outputView(path), nullptr);
  EXPECT_EQ(frame_->runStatusText(), "Linking Done: " + path);
  EXPECT_EQ(readText(report), expected);
  EXPECT_EQ(expected.count("**********************************************"), 12);
}

TEST_F(LinkingRun, QuestionOfARunWaitsForTheAnswer) {
  const QString path = example("m1_2d");
  QString text = readText(path);
  text.replace("$Data_Files 2= m1_2d_from2.dat m1_2d_to2.dat",
               "$Data_Files 2= missing.dat m1_2d_to2.dat\n"
               "$Data_Files 3= m1_2d_from2.dat m1_2d_to2.dat");
  write("m1_2d.ini", text.toUtf8());
  struct Case {
    const char* answer;
    int blocks;
    QString status;
  };
  for (const Case& c :
       {Case{"Cancel", 1, "Error: (2) in Linking: "}, Case{"OK", 2, "Linking Done, 1 of 3 pairs skipped (entry 2): "}}) {
    SCOPED_TRACE(c.answer);
    BoxAnswerer answers({"OK", c.answer});
    QPointer<LinkingProgressDialog> dialog = StartLinkingRun(path, frame_.get());
    ASSERT_TRUE(waitUntil([&] { return closed(dialog); }));
    EXPECT_EQ(answers.texts(), (QStringList{QString::fromStdString(dir_.file("missing.dat")),
                                            "Problem in Linking, Continue?"}));
    EXPECT_EQ(outputView(path)->toPlainText().count("*****\n"), c.blocks);
    EXPECT_EQ(frame_->runStatusText(), c.status + path);
    outputView(path)->doc()->setModified(false);
    outputView(path)->parentWidget()->close();
    waitUntil([&] { return outputView(path) == nullptr; });
  }
}

TEST_F(LinkingRun, QuittingDuringRunsAsksThenStopsThem) {
  const QString path = longRun(400);
  QPointer<LinkingProgressDialog> dialog = StartLinkingRun(path, frame_.get());
  // The save prompt below needs report text; a slow (sanitized) start may have none yet.
  ASSERT_TRUE(waitUntil([&] { return outputView(path) != nullptr && outputView(path)->doc()->isModified(); }));
  {
    BoxAnswerer answer({"&No"});
    EXPECT_FALSE(frame_->close());
    EXPECT_EQ(answer.texts(), QStringList{"Linking runs are in progress. Stop them and quit?"});
  }
  EXPECT_EQ(frame_->activeRunCount(), 1);
  BoxAnswerer answer({"&Yes", "&No"});
  EXPECT_TRUE(frame_->close());
  EXPECT_EQ(frame_->activeRunCount(), 0);
  EXPECT_EQ(answer.texts().size(), 2);
  EXPECT_TRUE(answer.texts()[1].startsWith("Save changes to Linking output from: "));
}

TEST_F(LinkingRun, ACancelledSavePromptOnQuitLeavesTheRunsWorking) {
  const QString path = longRun(400);
  QPointer<LinkingProgressDialog> dialog = StartLinkingRun(path, frame_.get());
  auto job = dialog->job();
  ASSERT_TRUE(waitUntil([&] { return outputView(path)->doc()->isModified(); }));
  {
    BoxAnswerer answer({"&Yes", "Cancel"});
    EXPECT_FALSE(frame_->close());
    EXPECT_EQ(answer.texts().size(), 2);
  }
  EXPECT_FALSE(job->stopEvent.poll()) << "asked before anything is stopped";
  EXPECT_EQ(frame_->activeRunCount(), 1);
  EXPECT_NE(outputView(path), nullptr);
  dialog->stop();
}

TEST_F(LinkingRun, SavingAnOutputWindowProposesTheReportNeverTheParameterFile) {
  struct Case {
    const char* example;
    bool keepReportName;
    QString proposed;  // file name in the parameter file's folder
  };
  for (const Case& c : {Case{"m1_1d", true, "m1_1d-report.txt"},
                        Case{"m1_1d", false, "m1_1d-report.txt"},
                        Case{"m4_3d_empirical", false, "m4_3d_empirical-report.txt"}}) {
    SCOPED_TRACE(c.example);
    const QString path = example(c.example);
    if (!c.keepReportName) {
      QString text = readText(path);
      text.remove(QRegularExpression("Output_File_(Type|Name)=[^\\n]*\\n"));
      write(QFileInfo(path).fileName(), text.toUtf8());
    }
    QPointer<LinkingProgressDialog> dialog = StartLinkingRun(path, frame_.get());
    ASSERT_TRUE(waitUntil([&] { return closed(dialog) && frame_->activeRunCount() == 0; }));
    QString proposed;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
      auto* files = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (files == nullptr) return;
      answer.stop();
      proposed = files->selectedFiles().value(0);
      files->reject();
    });
    answer.start(10);
    BoxAnswerer yes({"&Yes", "&No"});
    outputView(path)->parentWidget()->close();
    EXPECT_EQ(proposed, QFileInfo(path).dir().filePath(c.proposed));
    outputView(path)->doc()->setModified(false);
    outputView(path)->parentWidget()->close();
    waitUntil([&] { return outputView(path) == nullptr; });
  }
}

TEST_F(LinkingRun, TwoRunsDialogsAreToldApartAndHideTakesOnlyItsDialog) {
  const QString first = longRun(400);
  const QString second = example("m1_2d");
  QPointer<LinkingProgressDialog> one = StartLinkingRun(first, frame_.get());
  QPointer<LinkingProgressDialog> two = StartLinkingRun(second, frame_.get());
  EXPECT_NE(one->windowTitle(), two->windowTitle());
  if (!two.isNull() && two->isVisible()) EXPECT_NE(one->pos(), two->pos());
  // Not a transient of the main window, which a window manager would minimise with it.
  EXPECT_EQ(one->windowHandle()->transientParent(), nullptr);
  one->findChild<QPushButton*>("ID_1040")->click();  // Hide
  EXPECT_TRUE(one->isMinimized());
  EXPECT_FALSE(frame_->isMinimized());
  QMenu* windows = nullptr;
  for (QAction* action : frame_->menuBar()->actions()) {
    if (action->text() == "&Window") windows = action->menu();
  }
  emit windows->aboutToShow();
  QAction* entry = windows->actions().constLast();
  EXPECT_EQ(entry->text(), "Linking run: " + first);
  entry->trigger();
  EXPECT_FALSE(one->isMinimized());
  one->stop();
}

TEST_F(LinkingRun, RunLinkingAsksForTheParameterFileAndCancelDoesNothing) {
  const QString path = example("m1_1d");
  for (const bool cancel : {true, false}) {
    QString title, filter;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (dialog == nullptr) return;
      answer.stop();
      title = dialog->windowTitle();
      filter = dialog->nameFilters().join(";");
      if (cancel) {
        dialog->reject();
        return;
      }
      dialog->findChild<QLineEdit*>("fileNameEdit")->setText(path);
      dialog->findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Open)->click();
    });
    answer.start(10);
    action(CommandId::RunLinking)->trigger();
    EXPECT_EQ(title, "Using Linking Parameter File");
    EXPECT_EQ(filter, "Initial Files (*.ini)");
    if (cancel) {
      EXPECT_EQ(frame_->activeRunCount(), 0);
      EXPECT_TRUE(frame_->mdiArea()->subWindowList().isEmpty());
    } else {
      ASSERT_TRUE(waitUntil([&] {
        return outputView(path) != nullptr && frame_->runStatusText().startsWith("Linking Done");
      }));
      EXPECT_EQ(outputView(path)->toPlainText(), expectedOutput("m1_1d"));
    }
  }
}
