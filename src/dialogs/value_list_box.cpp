#include "dialogs/value_list_box.h"

#include <QKeyEvent>
#include <QLineEdit>

ValueListBox::ValueListBox(QWidget* parent) : QComboBox(parent) {
  setEditable(true);
  setInsertPolicy(QComboBox::NoInsert);
  setCompleter(nullptr);
  connect(lineEdit(), &QLineEdit::editingFinished, this, &ValueListBox::valueEntered);
}

void ValueListBox::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    event->accept();
    emit valueEntered();
    return;
  }
  QComboBox::keyPressEvent(event);
}
