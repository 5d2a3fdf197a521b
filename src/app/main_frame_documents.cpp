// CMainFrame's document commands: new, open, close, save, print, windows, recent files.
#include <QFileDialog>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPointer>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QTimer>

#include "app/child_frame.h"
#include "app/command_ids.h"
#include "app/main_frame.h"
#include "app/pellan1_doc.h"
#include "app/pellan1_view.h"
#include "app/profile.h"
#include "linking/report_save_name.h"
#include "run/linking_job.h"

namespace {

QString fileDialogPath(QWidget* owner, const QString& title, QFileDialog::AcceptMode mode,
                       const QString& initial) {
  QFileDialog dialog(owner, title, initial);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(mode);
  dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                     : QFileDialog::AnyFile);
  dialog.setNameFilter("All Files (*)");
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
  return dialog.selectedFiles().first();
}

}  // namespace

CPellan1View* CMainFrame::activeView() const {
  QMdiSubWindow* window = mdi_->activeSubWindow();
  if (window == nullptr && !mdi_->subWindowList().isEmpty()) window = mdi_->subWindowList().last();
  auto* frame = qobject_cast<CChildFrame*>(window);
  return frame ? frame->view() : nullptr;
}

QList<CPellan1Doc*> CMainFrame::documents() const {
  QList<CPellan1Doc*> result;
  for (QMdiSubWindow* window : mdi_->subWindowList()) {
    auto* frame = qobject_cast<CChildFrame*>(window);
    if (frame && !result.contains(frame->view()->doc())) result.append(frame->view()->doc());
  }
  return result;
}

QList<CChildFrame*> CMainFrame::framesOf(const CPellan1Doc* document) const {
  QList<CChildFrame*> result;
  for (QMdiSubWindow* window : mdi_->subWindowList()) {
    auto* frame = qobject_cast<CChildFrame*>(window);
    if (frame && frame->view()->doc() == document) result.append(frame);
  }
  return result;
}

CPellan1Doc* CMainFrame::createDocument() { return new CPellan1Doc(this); }

// A new child frame with a new view of document; the document dies with its last frame.
CChildFrame* CMainFrame::createFrame(CPellan1Doc* document) {
  auto* view = new CPellan1View(document);
  view->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(view, &QWidget::customContextMenuRequested, this, [this, view](const QPoint& at) {
    QMenu* menu = createViewContextMenu(view, at);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(view->viewport()->mapToGlobal(at));
  });
  auto* frame = new CChildFrame(view, [this](CChildFrame* f) { return canCloseFrame(f); });
  mdi_->addSubWindow(frame);
  frame->resize(initialFrameSize(view));
  connect(frame, &QObject::destroyed, this, [this, document = QPointer<CPellan1Doc>(document)] {
    // Runs after the frame left the area's list.
    QTimer::singleShot(0, this, [this, document] {
      if (!document) return;
      if (framesOf(document).isEmpty())
        delete document.data();
      else
        renumberFrames(document);
      updateMenus();
      updateWindowTitle();
    });
  });
  connect(document, &CPellan1Doc::titleChanged, this, &CMainFrame::updateWindowTitle,
          Qt::UniqueConnection);
  renumberFrames(document);
  frame->show();
  mdi_->setActiveSubWindow(frame);
  updateMenus();
  updateWindowTitle();
  return frame;
}

void CMainFrame::renumberFrames(CPellan1Doc* document) {
  const QList<CChildFrame*> frames = framesOf(document);
  for (int i = 0; i < frames.size(); ++i) frames[i]->setTitleNumber(i + 1, frames.size());
}

CPellan1View* CMainFrame::fileNew() {
  CPellan1Doc* document = createDocument();
  document->setTitle(pendingTitle_);
  return createFrame(document)->view();
}

CPellan1View* CMainFrame::openOutputView(const QString& parameterFilePath) {
  pendingTitle_ = "Linking output from: " + parameterFilePath;
  return fileNew();
}

int CMainFrame::openOutputWindow(const QString& parameterFilePath) {
  CPellan1View* view = openOutputView(parameterFilePath);
  if (view == nullptr) return 0;
  view->doc()->setRunParameterFile(parameterFilePath);
  outputs_.insert(++lastOutputId_, view->doc());
  return lastOutputId_;
}

CPellan1Doc* CMainFrame::outputDocument(int outputId) const { return outputs_.value(outputId); }

void CMainFrame::appendReportText(int outputId, const QString& text) {
  if (CPellan1Doc* document = outputDocument(outputId)) document->appendReportText(text);
}

CPellan1View* CMainFrame::openDocumentFile(const QString& path, QString* error) {
  const QString absolute = QFileInfo(path).absoluteFilePath();
  for (CPellan1Doc* document : documents()) {
    if (document->pathName() == absolute) {
      CChildFrame* frame = framesOf(document).first();
      mdi_->setActiveSubWindow(frame);
      return frame->view();
    }
  }
  auto* document = createDocument();
  QString reason;
  if (!document->openFile(absolute, &reason)) {
    delete document;
    const QString text = QString("Cannot open the file %1:\n%2.").arg(absolute, reason);
    if (error)
      *error = text;
    else
      QMessageBox::warning(this, kTitle, text);
    return nullptr;
  }
  addRecentFile(absolute);
  return createFrame(document)->view();
}

void CMainFrame::fileOpen() {
  const QString path = fileDialogPath(this, "Open", QFileDialog::AcceptOpen, QString());
  if (!path.isEmpty()) openDocumentFile(path);
}

void CMainFrame::openRecentFile(int index) {
  const QStringList& recent = profile_->recentFiles();
  if (index >= recent.size()) return;
  const QString path = recent[index];
  QString error;
  if (openDocumentFile(path, &error) == nullptr) {
    // A file that has gone leaves the list, as the message says.
    profile_->removeRecentFile(path);
    profile_->save();
    updateRecentFileActions();
    QMessageBox::warning(this, kTitle, error + "\nIt was removed from the recent-file list.");
  }
}

void CMainFrame::addRecentFile(const QString& path) {
  profile_->addRecentFile(path);
  profile_->save();
  updateRecentFileActions();
}

void CMainFrame::updateRecentFileActions() {
  const QStringList& recent = profile_->recentFiles();
  for (int i = 0; i < CommandId::RecentFileCount; ++i) {
    QAction* action = commandAction(CommandId::FileMruFirst + i);
    action->setVisible(i < recent.size());
    if (i < recent.size()) action->setText(QString("&%1 %2").arg(i + 1).arg(recent[i]));
  }
  recentPlaceholder_->setVisible(recent.isEmpty());
}

void CMainFrame::fileClose() {
  CPellan1View* view = activeView();
  if (view == nullptr) return;
  // Closing a document closes all its windows, after one save prompt.
  CPellan1Doc* document = view->doc();
  const QList<CChildFrame*> frames = framesOf(document);
  if (!canCloseFrame(frames.last())) return;
  document->setModified(false);
  for (CChildFrame* frame : frames) frame->close();
}

// A frame may close unless it is the last one of a changed document and the user cancels
// the save prompt or the save fails.
bool CMainFrame::canCloseFrame(CChildFrame* frame) {
  CPellan1Doc* document = frame->view()->doc();
  if (framesOf(document).size() > 1) return true;
  return askToSave(document) != SaveAnswer::Cancelled;
}

// What the save dialog proposes: the document's file; for a run's output window the run's
// report file or a name beside its parameter file, never a file an open run reads.
QString CMainFrame::initialSaveName(const CPellan1Doc* document) const {
  if (!document->pathName().isEmpty()) return document->pathName();
  if (document->runParameterFile().isEmpty()) return document->title();
  std::vector<std::string> inUse = filesReadByRun(document->runParameterFile().toStdString());
  for (const auto& job : runs_) {
    if (job->workerFinished.load()) continue;
    const std::vector<std::string> read = filesReadByRun(job->parameterFilePath);
    inUse.insert(inUse.end(), read.begin(), read.end());
  }
  return QString::fromStdString(
      proposedReportName(document->runParameterFile().toStdString(), inUse));
}

bool CMainFrame::saveDocument(CPellan1Doc* document, bool askName) {
  QString path = document->pathName();
  if (askName || path.isEmpty()) {
    path = fileDialogPath(this, "Save As", QFileDialog::AcceptSave, initialSaveName(document));
    if (path.isEmpty()) return false;
  }
  QString reason;
  if (!document->saveFile(path, &reason)) {
    // The reason names the file: "Can't write PATH: cause".
    QMessageBox::warning(this, kTitle, QString("The file was not saved.\n%1.").arg(reason));
    return false;
  }
  addRecentFile(document->pathName());
  return true;
}

void CMainFrame::fileSave() {
  if (CPellan1View* view = activeView()) saveDocument(view->doc(), false);
}

void CMainFrame::fileSaveAs() {
  if (CPellan1View* view = activeView()) saveDocument(view->doc(), true);
}

void CMainFrame::filePrint() {
  CPellan1View* view = activeView();
  if (view == nullptr) return;
  QPrintDialog dialog(&printer_, this);
  if (dialog.exec() == QDialog::Accepted) view->print(&printer_);
}

void CMainFrame::filePrintPreview() {
  CPellan1View* view = activeView();
  if (view == nullptr) return;
  QPrintPreviewDialog dialog(&printer_, this);
  connect(&dialog, &QPrintPreviewDialog::paintRequested, view,
          [view](QPrinter* printer) { view->print(printer); });
  auto* preview = dialog.findChild<QPrintPreviewWidget*>();
  if (preview && profile_->previewPages() == 2)
    preview->setViewMode(QPrintPreviewWidget::FacingPagesView);
  dialog.exec();
  if (preview) {
    profile_->setPreviewPages(preview->viewMode() == QPrintPreviewWidget::FacingPagesView ? 2 : 1);
    profile_->save();
  }
}

void CMainFrame::filePrintSetup() {
  QPageSetupDialog dialog(&printer_, this);
  dialog.exec();
}

void CMainFrame::windowNew() {
  if (CPellan1View* view = activeView()) createFrame(view->doc());
}

// Lines the minimised windows up along the bottom edge of the area.
void CMainFrame::windowArrangeIcons() {
  int x = 0;
  for (QMdiSubWindow* window : mdi_->subWindowList()) {
    if (!window->isMinimized()) continue;
    window->move(x, mdi_->viewport()->height() - window->height());
    x += window->width();
  }
}
