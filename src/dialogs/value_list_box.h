// ValueListBox: a drop-down list that also takes a typed value.
//
// Typing never completes to an entry (a typed 2 stays 2, not 21) and never adds one by
// itself: the owner takes the typed text when valueEntered is signalled, checks it and adds
// it or refuses it. Return and Enter confirm the value here instead of pressing the dialog's
// default button, so a refused value cannot be followed by a save.
#pragma once

#include <QComboBox>

class ValueListBox : public QComboBox {
  Q_OBJECT

 public:
  explicit ValueListBox(QWidget* parent = nullptr);

 signals:
  // Return or Enter was pressed, or the field lost the focus with a changed text.
  void valueEntered();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};
