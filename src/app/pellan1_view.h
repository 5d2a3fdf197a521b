// CPellan1View: an edit window on a CPellan1Doc.
//
// A plain-text editor over the document's shared text; long lines wrap at the window's right
// edge and there is no horizontal scroll bar. Printing is the editor's own.
#pragma once

#include <QPlainTextEdit>

class CPellan1Doc;

class CPellan1View : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit CPellan1View(CPellan1Doc* document, QWidget* parent = nullptr);

  CPellan1Doc* doc() const { return document_; }

 private:
  CPellan1Doc* document_;
};
