#include "dialogs/dialog_controls.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>

#include "dialogs/control_id.h"
#include "dialogs/value_list_box.h"

namespace {

void sizeList(QComboBox* list) {
  list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  list->setMinimumContentsLength(6);
}

}  // namespace

QComboBox* createList(int id) {
  auto* list = tagged(new QComboBox, id);
  list->setEditable(false);
  sizeList(list);
  return list;
}

ValueListBox* createValueList(int id) {
  auto* list = tagged(new ValueListBox, id);
  sizeList(list);
  return list;
}

QPushButton* createButton(const QString& caption, int id) {
  auto* button = tagged(new QPushButton(caption), id);
  button->setAutoDefault(false);
  return button;
}

QRadioButton* createRadio(const QString& caption, int id) {
  auto* button = tagged(new QRadioButton(caption), id);
  button->setAutoExclusive(false);
  return button;
}

QLineEdit* createUpperCaseEdit(int id) {
  auto* edit = tagged(new QLineEdit, id);
  QObject::connect(edit, &QLineEdit::textEdited, edit, [edit](const QString& text) {
    const int cursor = edit->cursorPosition();
    edit->setText(text.toUpper());
    edit->setCursorPosition(cursor);
  });
  return edit;
}

bool showList(QComboBox* box, const ListChoice& list) {
  QStringList entries;
  for (const std::string& entry : list.entries) entries << qt(entry);
  QStringList shown;
  for (int i = 0; i < box->count(); ++i) shown << box->itemText(i);
  const bool rebuild = shown != entries;
  if (rebuild) {
    box->clear();
    box->addItems(entries);
  }
  box->setCurrentIndex(list.hasSelection() ? list.selected : -1);
  if (box->isEditable()) box->setEditText(qt(list.text()));
  return rebuild;
}

void fitPopupToEntries(QComboBox* box) {
  int widest = 0;
  for (int i = 0; i < box->count(); ++i) {
    const QString text = box->itemText(i);
    box->setItemData(i, text, Qt::ToolTipRole);
    widest = std::max(widest, box->fontMetrics().horizontalAdvance(text));
  }
  // Room for the frame and a scroll bar beside the longest name.
  box->view()->setMinimumWidth(widest + 48);
}

int selectedRow(const QListWidget* list) {
  const QList<QListWidgetItem*> selected = list->selectedItems();
  return selected.isEmpty() ? -1 : list->row(selected.first());
}
