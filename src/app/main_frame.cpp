#include "app/main_frame.h"

#include <QApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QToolBar>

#include "app/about_dialog.h"
#include "app/command_ids.h"
#include "app/command_table.h"
#include "app/help_window.h"
#include "app/pellan1_doc.h"
#include "app/pellan1_view.h"
#include "app/profile.h"
#include "app/toolbar_icons.h"
#include "dialogs/linking_parameters_dialog.h"
#include "dialogs/parameter_file_chooser.h"
#include "dialogs/start_linking_run.h"
#include "run/linking_job.h"

using namespace CommandId;

CMainFrame::CMainFrame(Profile* profile, QWidget* parent) : QMainWindow(parent), profile_(profile) {
  mdi_ = new QMdiArea(this);
  mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setCentralWidget(mdi_);
  setWindowIcon(applicationIcon());
  createActions();
  createMenus();
  createToolBar();
  createStatusBar();
  connectCommands();
  connect(mdi_, &QMdiArea::subWindowActivated, this, [this] {
    updateMenus();
    updateWindowTitle();
  });
  updateMenus();
  updateRecentFileActions();
  updateWindowTitle();
  resize(900, 640);
}

CMainFrame::~CMainFrame() = default;

QAction* CMainFrame::commandAction(int id) const {
  return findChild<QAction*>(QString("ID_%1").arg(id), Qt::FindDirectChildrenOnly);
}

void CMainFrame::createActions() {
  for (const CommandSpec& spec : commandTable()) {
    QAction* action = makeCommandAction(spec, this);
    action->setIcon(toolbarIcon(spec.id, style()));
    action->setIconVisibleInMenu(false);
  }
  for (int i = 0; i < RecentFileCount; ++i) {
    auto* action = new QAction(this);
    action->setProperty("commandId", FileMruFirst + i);
    action->setObjectName(QString("ID_%1").arg(FileMruFirst + i));
    action->setStatusTip("Open this document");
    connect(action, &QAction::triggered, this, [this, i] { openRecentFile(i); });
  }
  recentPlaceholder_ = new QAction("Recent File", this);
  recentPlaceholder_->setEnabled(false);
  // F6 and Shift+F6 have no menu item; they work anywhere in the window.
  addAction(commandAction(NextPane));
  addAction(commandAction(PrevPane));
}

void CMainFrame::createMenus() {
  fileMenu_ = menuBar()->addMenu("&File");
  editMenu_ = menuBar()->addMenu("&Edit");
  editMenu_->addAction(commandAction(EditUndo));
  editMenu_->addSeparator();
  for (int id : {EditCut, EditCopy, EditPaste}) editMenu_->addAction(commandAction(id));

  QMenu* view = menuBar()->addMenu("&View");
  view->addAction(commandAction(ViewToolbar));
  view->addAction(commandAction(ViewStatusBar));

  QMenu* run = menuBar()->addMenu("Run");
  run->addAction(commandAction(RunLinking));
  run->addAction(commandAction(ShowResults));

  windowMenu_ = menuBar()->addMenu("&Window");
  for (int id : {WindowNew, WindowCascade, WindowTile, WindowArrange}) {
    windowMenu_->addAction(commandAction(id));
  }
  connect(windowMenu_, &QMenu::aboutToShow, this, &CMainFrame::updateWindowList);

  QMenu* help = menuBar()->addMenu("&Help");
  help->addAction(commandAction(HelpContent));
  help->addAction(commandAction(HelpSearch));
  help->addSeparator();
  help->addAction(commandAction(AppAbout));
}

void CMainFrame::createToolBar() {
  QToolBar* bar = addToolBar("Standard");
  bar->setObjectName("toolbar");
  bar->setIconSize(QSize(16, 15));
  bar->setAllowedAreas(Qt::AllToolBarAreas);
  for (int id : {FileNew, FileOpen, FileSave}) bar->addAction(commandAction(id));
  bar->addSeparator();
  for (int id : {EditCut, EditCopy, EditPaste}) bar->addAction(commandAction(id));
  bar->addSeparator();
  bar->addAction(commandAction(FilePrint));
  bar->addAction(commandAction(HelpContent));
  bar->addSeparator();
  bar->addAction(commandAction(LoadLinkingIni));
  bar->addAction(commandAction(RunLinking));
  QAction* toggle = commandAction(ViewToolbar);
  toggle->setCheckable(true);
  toggle->setChecked(true);
  connect(toggle, &QAction::toggled, bar, &QToolBar::setVisible);
  connect(bar, &QToolBar::visibilityChanged, toggle, &QAction::setChecked);
}

void CMainFrame::createStatusBar() {
  QStatusBar* bar = statusBar();
  // How the last run ended: a permanent pane, so that menu tips do not wipe it.
  runStatus_ = new QLabel(bar);
  runStatus_->setObjectName("runStatus");
  runStatus_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  bar->addPermanentWidget(runStatus_);
  // The lock-key states cannot be read portably; the indicators show the panes, greyed.
  const char* const names[] = {"CAP", "NUM", "SCRL"};
  for (int i = 0; i < 3; ++i) {
    indicators_[i] = new QLabel(names[i], bar);
    indicators_[i]->setObjectName(QString("indicator_%1").arg(names[i]));
    indicators_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    indicators_[i]->setEnabled(false);
    bar->addPermanentWidget(indicators_[i]);
  }
  // The message pane shows "Ready" whenever nothing else is shown.
  connect(bar, &QStatusBar::messageChanged, this, [bar](const QString& text) {
    if (text.isEmpty()) bar->showMessage(kIdleText);
  });
  bar->showMessage(kIdleText);
  QAction* toggle = commandAction(ViewStatusBar);
  toggle->setCheckable(true);
  toggle->setChecked(true);
  connect(toggle, &QAction::toggled, bar, &QStatusBar::setVisible);
}

void CMainFrame::connectCommands() {
  auto on = [this](int id, auto slot) {
    connect(commandAction(id), &QAction::triggered, this, slot);
  };
  on(FileNew, [this] { fileNew(); });
  on(FileOpen, [this] { fileOpen(); });
  on(FileClose, [this] { fileClose(); });
  on(FileSave, [this] { fileSave(); });
  on(FileSaveAs, [this] { fileSaveAs(); });
  on(FilePrint, [this] { filePrint(); });
  on(FilePrintPreview, [this] { filePrintPreview(); });
  on(FilePrintSetup, [this] { filePrintSetup(); });
  on(AppExit, [this] { close(); });
  on(NewLinkingIni, [this] { newLinkingIni(); });
  on(LoadLinkingIni, [this] { loadLinkingIni(); });
  on(RunLinking, [this] { runLinking(); });
  on(ShowResults, [this] { showResults(); });
  on(EditUndo, [this] {
    if (CPellan1View* v = activeView()) v->undo();
  });
  on(EditCut, [this] {
    if (CPellan1View* v = activeView()) v->cut();
  });
  on(EditCopy, [this] {
    if (CPellan1View* v = activeView()) v->copy();
  });
  on(EditPaste, [this] {
    if (CPellan1View* v = activeView()) v->paste();
  });
  on(WindowNew, [this] { windowNew(); });
  on(WindowCascade, [this] { mdi_->cascadeSubWindows(); });
  on(WindowTile, [this] { mdi_->tileSubWindows(); });
  on(WindowArrange, [this] { windowArrangeIcons(); });
  on(NextPane, [this] { mdi_->activateNextSubWindow(); });
  on(PrevPane, [this] { mdi_->activatePreviousSubWindow(); });
  on(HelpContent, [this] { helpContent(); });
  on(HelpSearch, [this] { helpSearch(); });
  on(AppAbout, [this] { about(); });
}

// The short menu set while no document window is open, the full one as soon as one is.
void CMainFrame::updateMenus() {
  const bool hasDocument = !mdi_->subWindowList().isEmpty();
  fileMenu_->clear();
  const QList<int> withDocument = {FileClose, FileSave, FileSaveAs};
  for (int id : {FileNew, FileOpen, FileClose, FileSave, FileSaveAs}) {
    if (hasDocument || !withDocument.contains(id)) fileMenu_->addAction(commandAction(id));
  }
  fileMenu_->addSeparator();
  fileMenu_->addAction(commandAction(NewLinkingIni));
  fileMenu_->addAction(commandAction(LoadLinkingIni));
  fileMenu_->addSeparator();
  if (hasDocument) {
    fileMenu_->addAction(commandAction(FilePrint));
    fileMenu_->addAction(commandAction(FilePrintPreview));
  }
  fileMenu_->addAction(commandAction(FilePrintSetup));
  fileMenu_->addSeparator();
  fileMenu_->addAction(recentPlaceholder_);
  for (int i = 0; i < RecentFileCount; ++i) fileMenu_->addAction(commandAction(FileMruFirst + i));
  fileMenu_->addSeparator();
  fileMenu_->addAction(commandAction(AppExit));
  // The document commands on the toolbar stay there, greyed while there is no document.
  for (int id : {FileClose, FileSave, FileSaveAs, FilePrint, FilePrintPreview, EditUndo, EditCut,
                 EditCopy, EditPaste, WindowNew, WindowCascade, WindowTile, WindowArrange}) {
    commandAction(id)->setEnabled(hasDocument);
  }
  editMenu_->menuAction()->setVisible(hasDocument);
  windowMenu_->menuAction()->setVisible(hasDocument);
}

void CMainFrame::updateWindowTitle() {
  CPellan1View* view = activeView();
  setWindowTitle(view ? QString("%1 - %2").arg(kTitle, view->doc()->title()) : QString(kTitle));
}

void CMainFrame::setStatusText(const QString& text) { statusBar()->showMessage(text); }

QString CMainFrame::statusText() const { return statusBar()->currentMessage(); }

QString CMainFrame::runStatusText() const { return runStatus_->text(); }

void CMainFrame::showRunEnding(const QString& text) {
  runStatus_->setText(text);
  runStatus_->setToolTip(text);
}

void CMainFrame::registerRun(std::shared_ptr<LinkingJob> job) { runs_.push_back(std::move(job)); }

int CMainFrame::runThreads() const { return profile_->threads(); }

int CMainFrame::activeRunCount() {
  std::erase_if(runs_, [](const auto& job) { return job->workerFinished.load(); });
  return static_cast<int>(runs_.size());
}

void CMainFrame::newLinkingIni() { LinkingParametersDialog::open({}, this); }

void CMainFrame::loadLinkingIni() {
  const QString path = chooseParameterFile(this, "Open Linking Parameter File");
  if (!path.isEmpty()) LinkingParametersDialog::open(path, this);
}

void CMainFrame::runLinking() {
  const QString path = chooseParameterFile(this, "Using Linking Parameter File");
  if (!path.isEmpty()) StartLinkingRun(path, this);
}

HelpWindow* CMainFrame::helpWindow() {
  if (!helpWindow_) helpWindow_ = new HelpWindow(this);
  return helpWindow_;
}

void CMainFrame::helpContent() { helpWindow()->showContents(); }

void CMainFrame::helpSearch() { helpWindow()->showSearch(); }

void CMainFrame::about() {
  CAboutDlg dialog(this);
  dialog.exec();
}
