#include "app/child_frame.h"

#include <QCloseEvent>
#include <QStyle>

#include "app/pellan1_doc.h"
#include "app/pellan1_view.h"

CChildFrame::CChildFrame(CPellan1View* view, CloseGuard guard, QWidget* parent)
    : QMdiSubWindow(parent), view_(view), guard_(std::move(guard)) {
  setWidget(view);
  setWindowIcon(style()->standardIcon(QStyle::SP_FileIcon));
  setAttribute(Qt::WA_DeleteOnClose);
  connect(view->doc(), &CPellan1Doc::titleChanged, this, &CChildFrame::updateTitle);
  updateTitle();
}

void CChildFrame::setTitleNumber(int number, int count) {
  number_ = number;
  count_ = count;
  updateTitle();
}

void CChildFrame::updateTitle() {
  QString title = view_->doc()->title();
  if (count_ > 1) title += QString(":%1").arg(number_);
  setWindowTitle(title);
}

void CChildFrame::closeEvent(QCloseEvent* event) {
  if (guard_ && !guard_(this)) {
    event->ignore();
    return;
  }
  QMdiSubWindow::closeEvent(event);
}
