#include "dialogs/linking_progress_dialog.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QFileInfo>
#include <QTimer>
#include <QWindow>
#include <cmath>

#include "dialogs/control_id.h"
#include "dialogs/linking_shell.h"
#include "dialogs/progress_ids.h"
#include "dialogs/qt_run_host.h"
#include "dialogs/run_results_watch.h"
#include "jobs/linking_worker.h"
#include "params/number_text.h"
#include "run/linking_job.h"
#include "run/message_log_host.h"

namespace {

QString fromUtf8(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

int wrappingStep(int position, int step, int minimum, int maximum) {
  const int next = position + step;
  if (next <= maximum) return next;
  return minimum + (next - minimum) % (maximum - minimum);
}

LinkingProgressDialog::LinkingProgressDialog(std::shared_ptr<LinkingJob> job,
                                             LinkingShell* shell)
    : QDialog(shell->shellWindow(), Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                         Qt::WindowCloseButtonHint),
      job_(std::move(job)),
      shell_(shell) {
  setWindowTitle(QString("Please wait, linking in progress..... (%1)")
                     .arg(QFileInfo(parameterFilePath()).fileName()));
  setAttribute(Qt::WA_DeleteOnClose);
  setModal(false);

  auto* stopButton = new QPushButton("Stop");
  tagged(stopButton, ControlId::ProgressStop);
  stopButton->setAutoDefault(false);
  auto* hideButton = new QPushButton("Hide");
  tagged(hideButton, ControlId::ProgressHide);
  hideButton->setAutoDefault(false);
  fromText_ = createNameField(ControlId::ProgressFrom);
  toText_ = createNameField(ControlId::ProgressTo);
  empiricalText_ = createNameField(ControlId::ProgressEmpirical);
  progressBar_ = new QProgressBar;
  tagged(progressBar_, ControlId::ProgressBar);
  progressBar_->setRange(0, 100);
  progressBar_->setValue(0);
  progressBar_->setTextVisible(false);
  searchText_ = new QLabel;
  searchText_->setObjectName("searchProgress");

  auto* grid = new QGridLayout(this);
  grid->addWidget(new QLabel("From"), 0, 0);
  grid->addWidget(fromText_, 0, 1, 1, 2);
  grid->addWidget(stopButton, 0, 3);
  grid->addWidget(new QLabel("To"), 1, 0);
  grid->addWidget(toText_, 1, 1, 1, 2);
  grid->addWidget(new QLabel("Empirical"), 2, 0);
  grid->addWidget(empiricalText_, 2, 1, 1, 2);
  grid->addWidget(hideButton, 2, 3);
  grid->addWidget(new QLabel("Minimization Progress"), 3, 0, 1, 2);
  grid->addWidget(progressBar_, 3, 2);
  grid->addWidget(searchText_, 4, 0, 1, 4);
  grid->setColumnMinimumWidth(2, 220);

  connect(stopButton, &QPushButton::clicked, this, &LinkingProgressDialog::stop);
  connect(hideButton, &QPushButton::clicked, this, &LinkingProgressDialog::hideToIcon);
}

LinkingProgressDialog::~LinkingProgressDialog() = default;

QLineEdit* LinkingProgressDialog::createNameField(int id) {
  auto* field = new QLineEdit;
  tagged(field, id);
  field->setReadOnly(true);
  return field;
}

QString LinkingProgressDialog::parameterFilePath() const {
  return fromUtf8(job_->parameterFilePath);
}

// Below and to the right of the newest other run's dialog that shows, else centred (Qt's own).
void LinkingProgressDialog::placeBesideOtherRuns() {
  if (parentWidget() == nullptr) return;
  const LinkingProgressDialog* newest = nullptr;
  for (auto* other : parentWidget()->findChildren<LinkingProgressDialog*>()) {
    if (other != this && other->isVisible() && !other->isMinimized()) newest = other;
  }
  if (newest != nullptr) move(newest->pos() + QPoint(32, 32));
}

void LinkingProgressDialog::showAgain() {
  if (isMinimized() || !isVisible()) showNormal();
  raise();
  activateWindow();
}

void LinkingProgressDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // Sent before the window is mapped, so the window manager never sees it as a transient.
  if (QWindow* window = windowHandle()) window->setTransientParent(nullptr);
}

void LinkingProgressDialog::startRun(bool showResultsWhenDone) {
  placeBesideOtherRuns();
  const QString path = fromUtf8(job_->parameterFilePath);
  const int output = job_->openOutputView ? shell_->openOutputWindow(path) : 0;
  if (job_->openOutputView && output == 0) {
    shell_->setStatusText("No output window could be opened; the report goes to its file only: " +
                          path);
  }
  // The log keeps the messages shown, each with its pair, for the run's results.
  auto log = std::make_shared<MessageLogHost>(std::make_shared<QtRunHost>(shell_, this, output));
  job_->host = log;
  shell_->registerRun(job_);
  auto status = std::make_shared<int>(0);
  new RunResultsWatch(job_, log, status, shell_, output, showResultsWhenDone);
  // The thread shares the job and marks it finished; nothing here ever waits for it.
  startLinkingThread(job_, status).detach();
}

void LinkingProgressDialog::showProgress(const ProgressNote& note, int steps) {
  fromText_->setText(fromUtf8(note.fromFileName));
  toText_->setText(fromUtf8(note.toFileName));
  empiricalText_->setText(fromUtf8(note.empiricalFileName));
  int position = progressBar_->value();
  for (int i = 0; i < steps; ++i) position = wrappingStep(position, kStep, 0, 100);
  progressBar_->setValue(position);
  if (note.searchStep > 0 && std::isfinite(note.criterion)) {
    searchText_->setText(QString("Search step %1, criterion %2")
                             .arg(note.searchStep)
                             .arg(fromUtf8(generalText(note.criterion, 7))));
  } else {
    searchText_->clear();
  }
}

void LinkingProgressDialog::finishRun() {
  finished_ = true;
  setResult(QDialog::Accepted);
  close();
}

void LinkingProgressDialog::stop() { job_->stopEvent.set(); }

void LinkingProgressDialog::hideToIcon() { showMinimized(); }

void LinkingProgressDialog::closeEvent(QCloseEvent* event) {
  if (!finished_ && !job_->workerFinished.load()) {
    job_->stopEvent.set();
    if (!job_->doneEvent.poll()) {
      event->ignore();
      return;
    }
  }
  event->accept();
}

// Escape asks to close, like the close box; it never just hides the dialog.
void LinkingProgressDialog::reject() { close(); }

void LinkingProgressDialog::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange && isMaximized()) {
    QTimer::singleShot(0, this, [this] { showNormal(); });
  }
}
