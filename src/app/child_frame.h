// CChildFrame: the window inside the main window that holds one view of a document.
//
// Its title is the document's title, with ":n" when the document has several windows. Before
// it closes it asks its close guard, which may prompt to save the document and may refuse.
#pragma once

#include <QMdiSubWindow>
#include <functional>

class CPellan1View;

class CChildFrame : public QMdiSubWindow {
  Q_OBJECT

 public:
  using CloseGuard = std::function<bool(CChildFrame*)>;

  CChildFrame(CPellan1View* view, CloseGuard guard, QWidget* parent = nullptr);

  CPellan1View* view() const { return view_; }
  void setTitleNumber(int number, int count);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void updateTitle();

  CPellan1View* view_;
  CloseGuard guard_;
  int number_ = 1;
  int count_ = 1;
};
