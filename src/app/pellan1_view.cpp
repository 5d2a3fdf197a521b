#include "app/pellan1_view.h"

#include <QFontDatabase>

#include "app/pellan1_doc.h"

CPellan1View::CPellan1View(CPellan1Doc* document, QWidget* parent)
    : QPlainTextEdit(parent), document_(document) {
  setDocument(document->textDocument());
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
}
