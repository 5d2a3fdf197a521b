// CMainFrame's windows: the size a new window opens at, and the Window menu's list of the
// open windows and of the runs' progress dialogs.
#include <QAction>
#include <QFontMetrics>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QStyle>

#include "app/child_frame.h"
#include "app/main_frame.h"
#include "app/pellan1_view.h"
#include "dialogs/linking_progress_dialog.h"

namespace {

// Wide enough for a report block's longest lines (about 100 columns), 30 lines high.
constexpr int kColumns = 100;
constexpr int kLines = 30;

}  // namespace

QSize CMainFrame::initialFrameSize(const CPellan1View* view) const {
  const QFontMetrics metrics(view->font());
  const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  QSize size(metrics.horizontalAdvance(QString(kColumns, QLatin1Char('x'))) + scrollBar + 24,
             metrics.lineSpacing() * kLines + 40);
  // Within the area once it has a real size (not before the main window is first laid out).
  const QSize area = mdi_->viewport()->size();
  if (area.width() >= 300 && area.height() >= 200) size = size.boundedTo(area);
  return size;
}

// Rebuilt each time the menu opens: the window commands, then one entry per window (the
// active one checked), then one per run whose progress dialog is hidden or minimised.
void CMainFrame::updateWindowList() {
  for (QAction* action : windowList_) {
    windowMenu_->removeAction(action);
    action->deleteLater();
  }
  windowList_.clear();
  auto add = [this](const QString& text) {
    if (windowList_.isEmpty()) windowList_.append(windowMenu_->addSeparator());
    QAction* action = windowMenu_->addAction(text);
    windowList_.append(action);
    return action;
  };
  int number = 0;
  for (QMdiSubWindow* window : mdi_->subWindowList()) {
    QAction* action = add(QString("&%1 %2").arg(++number).arg(window->windowTitle()));
    action->setCheckable(true);
    action->setChecked(window == mdi_->activeSubWindow());
    connect(action, &QAction::triggered, this, [this, window = QPointer<QMdiSubWindow>(window)] {
      if (!window) return;
      if (window->isMinimized()) window->showNormal();
      mdi_->setActiveSubWindow(window);
    });
  }
  for (LinkingProgressDialog* dialog : findChildren<LinkingProgressDialog*>()) {
    if (dialog->isVisible() && !dialog->isMinimized()) continue;
    QAction* action = add("Linking run: " + dialog->parameterFilePath());
    connect(action, &QAction::triggered, this, [dialog = QPointer<LinkingProgressDialog>(dialog)] {
      if (dialog) dialog->showAgain();
    });
  }
}
