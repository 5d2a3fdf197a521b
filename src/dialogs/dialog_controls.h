// The controls of the Linking Parameters dialog as it makes and fills them: each carries its
// control id (control_id.h), lists keep the form's entries in their order, radio buttons are
// groups of their own (the form moves their checks).
#pragma once

#include <QString>
#include <string>

#include "params/list_choice.h"

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QWidget;
class ValueListBox;

inline QString qt(const std::string& text) { return QString::fromStdString(text); }
inline std::string std8(const QString& text) { return text.toStdString(); }

QComboBox* createList(int id);
ValueListBox* createValueList(int id);
QPushButton* createButton(const QString& caption, int id);
QRadioButton* createRadio(const QString& caption, int id);
// Input turned to capital letters as it is typed (Row and Column).
QLineEdit* createUpperCaseEdit(int id);

// Shows the list's entries (rebuilt only when they differ) and its selection; an editable box
// shows the selected entry's text, replacing any text typed since. True when rebuilt.
bool showList(QComboBox* box, const ListChoice& list);
// Lets the drop-down of box show every entry whole, each with its text as a tooltip.
void fitPopupToEntries(QComboBox* box);

int selectedRow(const QListWidget* list);
