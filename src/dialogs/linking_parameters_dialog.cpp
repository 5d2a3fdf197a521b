#include "dialogs/linking_parameters_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QRadioButton>

#include "data/record_preview.h"
#include "dialogs/dialog_controls.h"
#include "dialogs/linking_shell.h"
#include "dialogs/parameters_file_dialogs.h"
#include "dialogs/search_settings_group.h"
#include "dialogs/start_linking_run.h"
#include "dialogs/value_list_box.h"
#include "params/choice_list_file.h"

namespace {

std::vector<std::string> choiceListFolders() {
  return {std8(QCoreApplication::applicationDirPath()), TORVAK_DATA_DIR, TORVAK_RESOURCE_DIR};
}

constexpr LinkingParametersForm::TypedList kTypedLists[] = {
    LinkingParametersForm::DimensionList, LinkingParametersForm::GridPointList,
    LinkingParametersForm::RangeBeginList, LinkingParametersForm::RangeEndList};

}  // namespace

LinkingParametersDialog* LinkingParametersDialog::open(const QString& path, LinkingShell* shell) {
  const ChoiceListSearch search = findChoiceList(choiceListFolders());
  if (!search.found) {
    QMessageBox::warning(shell->shellWindow(), LinkingShell::kTitle,
                         qt(missingChoiceListText(search)));
    return nullptr;
  }
  auto form = std::make_unique<LinkingParametersForm>(search.list, std8(path));
  auto* dialog = new LinkingParametersDialog(std::move(form), shell);
  dialog->show();
  if (!path.isEmpty()) {
    const FormLoadResult result = dialog->form_->loadFile(std8(path));
    for (const FormMessage& message : result.messages) dialog->tell(message);
    if (result.kind == FormLoadResult::CannotOpen) {
      dialog->setWindowTitle(qt(dialog->form_->windowTitle()));
      return dialog;
    }
  }
  dialog->form_->showFormat();
  dialog->showValues();
  return dialog;
}

LinkingParametersDialog::LinkingParametersDialog(std::unique_ptr<LinkingParametersForm> form,
                                                 LinkingShell* shell)
    : QDialog(shell->shellWindow(), Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                        Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                                        Qt::WindowCloseButtonHint),
      form_(std::move(form)),
      shell_(shell) {
  setAttribute(Qt::WA_DeleteOnClose);
  setModal(false);
  createControls();
  connectControls();
  showValues();
}

LinkingParametersDialog::~LinkingParametersDialog() {
  // Hiding the window takes the focus out of a field, whose signal must not reach the form
  // that is already gone.
  for (QObject* child : findChildren<QObject*>()) child->disconnect(this);
}

void LinkingParametersDialog::connectControls() {
  connect(pickFile_, &QComboBox::activated, this, &LinkingParametersDialog::closePickFile);
  connect(type_, &QComboBox::activated, this, &LinkingParametersDialog::showFormat);
  connect(dimension_, &QComboBox::activated, this, &LinkingParametersDialog::closeDimension);
  connect(gridPoint_, &QComboBox::activated, this, &LinkingParametersDialog::closeGridPoint);
  for (const TypedList list : kTypedLists) {
    connect(valueList(list), &ValueListBox::valueEntered, this,
            [this, list] { takeTypedValue(list); });
  }
  for (QRadioButton* scale : {logistic_, normal_}) {
    connect(scale, &QRadioButton::clicked, this, [this] {
      form_->clickScale();
      showValues();
    });
  }
  for (QRadioButton* mode : {append_, overwrite_}) {
    connect(mode, &QRadioButton::clicked, this, [this] {
      form_->clickReportMode();
      showValues();
    });
  }
  connect(noOutput_, &QCheckBox::clicked, this, [this] {
    readControls();
    form_->toggleNoOutput();
    showValues();
  });
  for (QLineEdit* edit : {row_, column_, fromName_, toName_, empiricalName_}) {
    connect(edit, &QLineEdit::editingFinished, this, &LinkingParametersDialog::showPreview);
  }
  connect(separator_, &QComboBox::activated, this, [this] {
    const bool separated = separator_->currentData().toInt() != ' ';
    if (separated) recordPerLine_->setChecked(true);
    recordPerLine_->setEnabled(!separated);
    showPreview();
  });
}

ValueListBox* LinkingParametersDialog::valueList(TypedList list) const {
  switch (list) {
    case LinkingParametersForm::DimensionList:
      return dimension_;
    case LinkingParametersForm::GridPointList:
      return gridPoint_;
    case LinkingParametersForm::RangeBeginList:
      return rangeBegin_;
    case LinkingParametersForm::RangeEndList:
      break;
  }
  return rangeEnd_;
}

void LinkingParametersDialog::changeEvent(QEvent* event) {
  // The dialog keeps its size: a maximized window is restored at once.
  if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMaximized)) {
    showNormal();
  }
  QDialog::changeEvent(event);
}

void LinkingParametersDialog::readControls() {
  LinkingParametersForm& f = *form_;
  // A typed list's own text is taken by takeTypedValue; here only its chosen entry.
  const std::pair<QComboBox*, ListChoice*> lists[] = {{dimension_, &f.dimension},
                                                      {model_, &f.model},
                                                      {parameterization_, &f.parameterization},
                                                      {gridPoint_, &f.gridPoint},
                                                      {rangeBegin_, &f.rangeBegin},
                                                      {rangeEnd_, &f.rangeEnd},
                                                      {pickFile_, &f.pickFile},
                                                      {type_, &f.type}};
  for (auto [box, list] : lists) list->selected = box->currentIndex();
  f.weighedSum = weighedSum_->isChecked();
  f.fromName = std8(fromName_->text());
  f.toName = std8(toName_->text());
  f.empiricalName = std8(empiricalName_->text());
  f.reportName = std8(reportName_->text());
  f.logistic = logistic_->isChecked();
  f.normal = normal_->isChecked();
  f.append = append_->isChecked();
  f.overwrite = overwrite_->isChecked();
  f.noOutput = noOutput_->isChecked();
  f.rowText = std8(row_->text());
  f.columnText = std8(column_->text());
  f.separatorChoice = static_cast<char>(separator_->currentData().toInt());
  // Separated fields are one record per line anyway; the key is written only when it says more.
  f.recordPerLine = recordPerLine_->isChecked() && f.separatorChoice == ' ';
  f.selectedPair = selectedRow(pairs_);
  f.outputFile.columnFormat = std8(otherFile1_->text());
  f.outputFile.rowSkip = std8(otherFile2_->text());
  search_->readControls(f);
}

void LinkingParametersDialog::showValues() {
  const LinkingParametersForm& f = *form_;
  const QSignalBlocker blockPairs(pairs_);
  showList(dimension_, f.dimension);
  showList(model_, f.model);
  showList(parameterization_, f.parameterization);
  showList(gridPoint_, f.gridPoint);
  showList(rangeBegin_, f.rangeBegin);
  showList(rangeEnd_, f.rangeEnd);
  showList(pickFile_, f.pickFile);
  if (showList(type_, f.type)) fitPopupToEntries(type_);
  type_->setToolTip(type_->currentText());
  weighedSum_->setChecked(f.weighedSum);
  fromName_->setText(qt(f.fromName));
  toName_->setText(qt(f.toName));
  empiricalName_->setText(qt(f.empiricalName));
  reportName_->setText(qt(f.reportName));
  // With No output checked a typed name would still be written: take none then.
  reportName_->setEnabled(!f.noOutput);
  logistic_->setChecked(f.logistic);
  normal_->setChecked(f.normal);
  append_->setChecked(f.append);
  overwrite_->setChecked(f.overwrite);
  noOutput_->setChecked(f.noOutput);
  row_->setText(qt(f.rowText));
  column_->setText(qt(f.columnText));
  separator_->setCurrentIndex(
      std::max(0, separator_->findData(QVariant(static_cast<int>(f.separatorChoice)))));
  // Separated fields are always one record per line.
  recordPerLine_->setChecked(f.recordPerLine || f.separatorChoice != ' ');
  recordPerLine_->setEnabled(f.separatorChoice == ' ');
  QStringList lines;
  for (const std::string& line : f.pairs) lines << qt(line);
  QStringList shown;
  for (int i = 0; i < pairs_->count(); ++i) shown << pairs_->item(i)->text();
  if (shown != lines) {
    pairs_->clear();
    pairs_->addItems(lines);
  }
  otherFile1_->setText(qt(f.outputFile.columnFormat));
  otherFile2_->setText(qt(f.outputFile.rowSkip));
  search_->showValues(f);
  setWindowTitle(qt(f.windowTitle()));
  showPreview();
}

void LinkingParametersDialog::showFormat() {
  readControls();
  form_->showFormat();
  showValues();
}

void LinkingParametersDialog::closePickFile() {
  readControls();
  form_->pickFileClosed();
  showValues();
}

void LinkingParametersDialog::closeDimension() {
  readControls();
  form_->dimensionChanged();
  showValues();
}

QString LinkingParametersDialog::pickedFilePath() const {
  const int role = pickFile_->currentIndex();
  QString name = role == LinkingParametersForm::From ? fromName_->text()
                 : role == LinkingParametersForm::To ? toName_->text()
                                                     : empiricalName_->text();
  // Without a name in the field, the pair list's first line shows what a run reads first.
  if (name.isEmpty() && role >= 0 && !form_->pairs.empty()) {
    const QStringList names = qt(form_->pairs.front()).split(' ', Qt::SkipEmptyParts);
    if (role < names.size()) name = names[role];
  }
  // A run takes relative names from the parameter file's folder.
  if (!name.isEmpty() && QFileInfo(name).isRelative() && !form_->settingsPath.empty()) {
    name = QFileInfo(qt(form_->settingsPath)).dir().filePath(name);
  }
  return role < 0 ? QString() : name;
}

void LinkingParametersDialog::showPreview() {
  const int role = pickFile_->currentIndex();
  const QString name = pickedFilePath();
  const QString text =
      role < 0 || name.isEmpty()
          ? QString("Choose the picked file below to see its first record here.")
          : qt(firstRecordPreview(std8(name), std8(row_->text()), std8(column_->text()),
                                  static_cast<char>(separator_->currentData().toInt())));
  preview_->setText(text);
  preview_->setToolTip(text +
                       "\n\nThe first record of the picked file as a run will read it with the "
                       "Row and Column shown.");
}

void LinkingParametersDialog::tell(const Refusal& refusal) {
  if (!refusal) return;
  QMessageBox box(QMessageBox::Warning,
                  refusal->caption.empty() ? QString(LinkingShell::kTitle) : qt(refusal->caption),
                  qt(refusal->text), QMessageBox::Ok, this);
  box.setObjectName("parametersMessageBox");
  box.exec();
}

bool LinkingParametersDialog::takeTypedValue(TypedList list) {
  // The refusal box takes the focus, which would hand the same text in again; a closing
  // dialog takes nothing.
  if (takingValue_ || !isVisible()) return true;
  const ListChoice& choice = form_->typedList(list);
  const QString text = valueList(list)->currentText();
  if (text == qt(choice.text())) return true;
  readControls();
  takingValue_ = true;
  const Refusal refusal = form_->enterValue(list, std8(text));
  tell(refusal);
  takingValue_ = false;
  if (!refusal && list == LinkingParametersForm::GridPointList) tell(form_->closeGridPoint());
  showValues();
  return !refusal;
}

bool LinkingParametersDialog::takeTypedValues() {
  for (const TypedList list : kTypedLists) {
    if (!takeTypedValue(list)) return false;
  }
  return true;
}

bool LinkingParametersDialog::saveParameterFile(const QString& path, bool askForName) {
  if (!takeTypedValues()) return false;
  readControls();
  if (const Refusal refusal = form_->checkForSave()) {
    tell(refusal);
    return false;
  }
  QString target = path;
  const bool chosen = askForName || path.isEmpty();
  if (chosen) {
    target = chooseParameterFileToSave(this);
    if (target.isEmpty()) return false;
  }
  Refusal refusal = form_->checkTarget(std8(target));
  if (!refusal) refusal = form_->writeFile(std8(target), chosen);
  if (refusal) {
    tell(refusal);
    return false;
  }
  setWindowTitle(qt(form_->windowTitle()));
  shell_->noteRecentFile(target);
  return true;
}

void LinkingParametersDialog::confirm() {
  if (saveParameterFile(qt(form_->settingsPath), false)) accept();
}

void LinkingParametersDialog::link() {
  if (!saveParameterFile(qt(form_->settingsPath), false)) return;
  StartLinkingRun(qt(form_->settingsPath), shell_);
  accept();
}

void LinkingParametersDialog::saveAs() { saveParameterFile({}, true); }

void LinkingParametersDialog::saveShownFormat() {
  readControls();
  tell(form_->saveShownFormat());
}

void LinkingParametersDialog::detectFormat() {
  readControls();
  bool changed = false;
  const FormMessage said = form_->detectFormat(std8(pickedFilePath()), changed);
  if (changed) {
    showValues();
    showPreview();
  }
  QMessageBox box(changed ? QMessageBox::Information : QMessageBox::Warning, qt(said.caption),
                  qt(said.text), QMessageBox::Ok, this);
  box.setObjectName("parametersMessageBox");
  box.exec();
}

void LinkingParametersDialog::chooseReportFile() {
  readControls();
  if (form_->wantsReportFile()) {
    const QString path = ::chooseDataFile(this, true, reportName_->text());
    if (!path.isEmpty()) tell(form_->chooseReportFile(std8(path)));
  }
  showValues();
}

void LinkingParametersDialog::chooseDataFile(int role) {
  readControls();
  const QString path = ::chooseDataFile(this, false);
  if (!path.isEmpty()) {
    tell(form_->chooseDataFile(static_cast<LinkingParametersForm::Role>(role), std8(path)));
  }
  showValues();
}

void LinkingParametersDialog::addToList() {
  readControls();
  const Refusal refusal = form_->addToList();
  if (refusal) {
    tell(refusal);
    return;
  }
  showValues();
}

void LinkingParametersDialog::deleteFromList() {
  form_->selectedPair = selectedRow(pairs_);
  if (const Refusal refusal = form_->deleteFromList()) {
    tell(refusal);
    return;
  }
  showValues();
}

void LinkingParametersDialog::showItem() {
  form_->selectedPair = selectedRow(pairs_);
  if (form_->selectedPair < 0) {
    tell(form_->showItem());
    return;
  }
  readControls();
  form_->showItem();
  showValues();
}

void LinkingParametersDialog::closeGridPoint() {
  readControls();
  const Refusal refusal = form_->closeGridPoint();
  tell(refusal);
  showValues();
}
