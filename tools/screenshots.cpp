// torvak-screenshots EXAMPLES_DIR OUT_DIR: renders the README's pictures of the desktop
// program (run it with QT_QPA_PLATFORM=offscreen; `make screenshots` does).
//
// It runs the shipped examples from a copy in a temporary folder and grabs: the progress
// dialog of a run at work, the main window with a finished run's output window, the results
// window of that run, the help window and the Linking Parameters dialog on an example.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMdiArea>
#include <QPixmap>
#include <QPointer>
#include <QProgressBar>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

#include "app/help_window.h"
#include "app/main_frame.h"
#include "app/pellan1_doc.h"
#include "app/profile.h"
#include "dialogs/linking_parameters_dialog.h"
#include "dialogs/linking_progress_dialog.h"
#include "dialogs/start_linking_run.h"
#include "results/results_window.h"
#include "run/linking_job.h"

namespace {

bool waitUntil(const std::function<bool()>& done, int timeoutMs = 30000) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < timeoutMs) {
    QApplication::processEvents(QEventLoop::AllEvents, 20);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  return done();
}

bool save(QWidget* widget, const QString& path) {
  const bool ok = widget->grab().save(path);
  std::printf("%s %s\n", ok ? "wrote" : "could not write", qPrintable(path));
  return ok;
}

// The examples' files, and a parameter file that links the large example pair many times
// (a run that lasts long enough to be seen at work).
QString copyExamples(const QString& from, const QString& to) {
  QDir().mkpath(to);
  const QDir examples(from);
  for (const QString& name : examples.entryList({"*.dat", "*.ini"}, QDir::Files)) {
    QFile::copy(examples.filePath(name), to + "/" + name);
  }
  QFile source(to + "/m4_3d_empirical.ini");
  source.open(QIODevice::ReadOnly);
  QString text = QString::fromUtf8(source.readAll());
  const QString entry = "$Data_Files 1= m4_3d_from.dat m4_3d_to.dat m4_3d_theta.dat";
  QString entries;
  for (int i = 1; i <= 500; ++i)
    entries += QString(entry).replace(" 1=", QString(" %1=").arg(i)) + "\n";
  text.replace(entry, entries).replace("m4_3d_empirical-report.txt", "long-report.txt");
  QFile target(to + "/long_run.ini");
  target.open(QIODevice::WriteOnly);
  target.write(text.toUtf8());
  return to + "/long_run.ini";
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: torvak-screenshots EXAMPLES_DIR OUT_DIR\n");
    return 64;
  }
  const QString outDir = QString::fromLocal8Bit(argv[2]);
  QDir().mkpath(outDir);
  QTemporaryDir temp;
  const QString examples = temp.path() + "/examples";
  const QString longRun = copyExamples(QString::fromLocal8Bit(argv[1]), examples);
  Profile profile(temp.path() + "/torvak.ini");
  CMainFrame frame(&profile);
  frame.resize(1000, 680);
  frame.show();
  bool ok = true;

  QPointer<LinkingProgressDialog> running = StartLinkingRun(longRun, &frame);
  if (!waitUntil([&] { return running && running->progressBar()->value() >= 40; })) return 1;
  ok &= save(running, outDir + "/progress-dialog.png");
  running->stop();
  if (!waitUntil([&] { return frame.activeRunCount() == 0; })) return 1;
  for (CPellan1Doc* document : frame.documents()) document->setModified(false);
  frame.mdiArea()->closeAllSubWindows();
  waitUntil([&] { return frame.mdiArea()->subWindowList().isEmpty(); }, 2000);

  QPointer<LinkingProgressDialog> first = StartLinkingRun(examples + "/m1_2d.ini", &frame);
  QPointer<LinkingProgressDialog> second =
      StartLinkingRun(examples + "/m4_3d_empirical.ini", &frame);
  if (!waitUntil([&] { return frame.activeRunCount() == 0 && !first && !second; })) return 1;
  frame.mdiArea()->tileSubWindows();
  waitUntil([] { return false; }, 200);
  ok &= save(&frame, outDir + "/main-window.png");

  CPellan1Doc* output = nullptr;
  for (CPellan1Doc* document : frame.documents()) {
    if (document->runParameterFile().endsWith("m4_3d_empirical.ini")) output = document;
  }
  if (!output || !waitUntil([&] { return frame.runResults(output) != nullptr; })) return 1;
  ResultsWindow* results = frame.openResultsWindow(*frame.runResults(output));
  results->resize(1280, 760);
  waitUntil([] { return false; }, 300);
  ok &= save(results, outDir + "/results-window.png");
  results->close();

  frame.helpContent();
  frame.helpWindow()->resize(900, 600);
  waitUntil([] { return false; }, 200);
  ok &= save(frame.helpWindow(), outDir + "/help-window.png");

  LinkingParametersDialog* parameters =
      LinkingParametersDialog::open(examples + "/m4_3d_empirical.ini", &frame);
  if (parameters == nullptr) return 1;
  parameters->adjustSize();
  waitUntil([] { return false; }, 200);
  ok &= save(parameters, outDir + "/parameters-dialog.png");
  return ok ? 0 : 1;
}
