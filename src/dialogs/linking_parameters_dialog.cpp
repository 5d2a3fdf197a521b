#include "dialogs/linking_parameters_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "data/record_preview.h"
#include "dialogs/control_id.h"
#include "dialogs/linking_parameters_ids.h"
#include "dialogs/linking_shell.h"
#include "dialogs/start_linking_run.h"
#include "params/choice_list_file.h"

namespace {

using namespace ParametersControl;

QString qt(const std::string& text) { return QString::fromStdString(text); }
std::string std8(const QString& text) { return text.toStdString(); }

QComboBox* createList(int id) {
  auto* list = tagged(new QComboBox, id);
  list->setEditable(false);
  list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  list->setMinimumContentsLength(6);
  return list;
}

QPushButton* createButton(const QString& caption, int id) {
  auto* button = tagged(new QPushButton(caption), id);
  button->setAutoDefault(false);
  return button;
}

// Each radio button is a group of its own: the form moves the checks.
QRadioButton* createRadio(const QString& caption, int id) {
  auto* button = tagged(new QRadioButton(caption), id);
  button->setAutoExclusive(false);
  return button;
}

// Input turned to capital letters as it is typed (Row and Column).
QLineEdit* createUpperCaseEdit(int id) {
  auto* edit = tagged(new QLineEdit, id);
  QObject::connect(edit, &QLineEdit::textEdited, edit, [edit](const QString& text) {
    const int cursor = edit->cursorPosition();
    edit->setText(text.toUpper());
    edit->setCursorPosition(cursor);
  });
  return edit;
}

void showList(QComboBox* box, const ListChoice& list) {
  QStringList entries;
  for (const std::string& entry : list.entries) entries << qt(entry);
  QStringList shown;
  for (int i = 0; i < box->count(); ++i) shown << box->itemText(i);
  if (shown != entries) {
    box->clear();
    box->addItems(entries);
  }
  box->setCurrentIndex(list.hasSelection() ? list.selected : -1);
}

QString chooseFile(QWidget* owner, const QString& title, bool forSaving, const QString& name) {
  QFileDialog dialog(owner, title);
  dialog.setObjectName(forSaving ? "saveFileDialog" : "openFileDialog");
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setOption(QFileDialog::ReadOnly, false);
  dialog.setAcceptMode(forSaving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(forSaving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (!name.isEmpty()) dialog.selectFile(name);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first();
}

int selectedRow(const QListWidget* list) {
  const QList<QListWidgetItem*> selected = list->selectedItems();
  return selected.isEmpty() ? -1 : list->row(selected.first());
}

std::vector<std::string> choiceListFolders() {
  return {std8(QCoreApplication::applicationDirPath()), TORVAK_DATA_DIR, TORVAK_RESOURCE_DIR};
}

}  // namespace

LinkingParametersDialog* LinkingParametersDialog::open(const QString& path, LinkingShell* shell) {
  const ChoiceListSearch search = findChoiceList(choiceListFolders());
  if (!search.found) {
    QMessageBox::warning(shell->shellWindow(), LinkingShell::kTitle, qt(missingChoiceListText(search)));
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

void LinkingParametersDialog::createControls() {
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(createSettingsGroup());
  layout->addWidget(createFormatGroup());
  layout->addWidget(createFilesGroup());
  layout->addWidget(createOutputGroup());
  layout->addLayout(createButtons());
}

QLayout* LinkingParametersDialog::createSettingsGroup() {
  dimension_ = createList(Dimension);
  model_ = createList(LinkFunctionType);
  parameterization_ = createList(Parameterization);
  auto* top = new QGridLayout;
  top->addWidget(new QLabel("Dimension"), 0, 0);
  top->addWidget(dimension_, 0, 1);
  top->addWidget(new QLabel("Link Function Type"), 0, 2);
  top->addWidget(model_, 0, 3);
  top->addWidget(new QLabel("Parameterizaion"), 1, 2);
  top->addWidget(parameterization_, 1, 3);
  top->setColumnStretch(3, 1);

  auto* integration = new QGroupBox("Integration Parameters");
  gridPoint_ = createList(GridPoint);
  weighedSum_ = tagged(new QCheckBox("Weighed Sum"), WeighedSum);
  rangeBegin_ = createList(RangeBegin);
  rangeEnd_ = createList(RangeEnd);
  auto* grid = new QHBoxLayout(integration);
  grid->addWidget(new QLabel("Grid Point"));
  grid->addWidget(gridPoint_);
  grid->addWidget(weighedSum_);
  grid->addSpacing(12);
  grid->addWidget(new QLabel("Grid Range"));
  grid->addWidget(rangeBegin_);
  grid->addWidget(new QLabel("to"));
  grid->addWidget(rangeEnd_);
  grid->addStretch();
  top->addWidget(integration, 2, 0, 1, 4);
  return top;
}

QWidget* LinkingParametersDialog::createFormatGroup() {
  auto* group = new QGroupBox("Data File Format");
  pickFile_ = createList(PickFile);
  type_ = createList(Type);
  type_->setMinimumContentsLength(30);
  row_ = createUpperCaseEdit(Row);
  column_ = createUpperCaseEdit(Column);
  logistic_ = createRadio("1(logistic)", Logistic);
  normal_ = createRadio("1.702(normal)", Normal);
  auto* save = createButton("Save Shown\nFormat", SaveShownFormat);
  connect(save, &QPushButton::clicked, this, &LinkingParametersDialog::saveShownFormat);
  preview_ = new QLabel;
  preview_->setObjectName("recordPreview");
  preview_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  preview_->setStyleSheet("color: palette(mid);");
  preview_->setToolTip(
      "The first record of the picked file as a run will read it with the "
      "Row and Column shown");
  auto* layout = new QGridLayout(group);
  layout->addWidget(new QLabel("Pick File"), 0, 0);
  layout->addWidget(pickFile_, 0, 1);
  layout->addWidget(new QLabel("Type"), 0, 2);
  layout->addWidget(type_, 0, 3, 1, 3);
  layout->addWidget(new QLabel("Row"), 1, 0);
  layout->addWidget(row_, 1, 1);
  layout->addWidget(new QLabel("Column"), 1, 2);
  layout->addWidget(column_, 1, 3);
  layout->addWidget(new QLabel("Multiplied by"), 2, 0);
  layout->addWidget(logistic_, 2, 1);
  layout->addWidget(normal_, 2, 2, 1, 2);
  layout->addWidget(save, 1, 5, 2, 1);
  layout->addWidget(preview_, 3, 0, 1, 6);
  layout->setColumnStretch(3, 1);
  return group;
}

QWidget* LinkingParametersDialog::createFilesGroup() {
  auto* group = new QGroupBox("Locate Data Files");
  fromName_ = tagged(new QLineEdit, FromName);
  toName_ = tagged(new QLineEdit, ToName);
  empiricalName_ = tagged(new QLineEdit, EmpiricalName);
  pairs_ = tagged(new QListWidget, PairList);
  pairs_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  pairs_->setMinimumHeight(80);
  auto* layout = new QGridLayout(group);
  int row = 0;
  for (auto [caption, id, edit] :
       {std::tuple{"From", FromButton, fromName_}, std::tuple{"To", ToButton, toName_},
        std::tuple{"Empirical", EmpiricalButton, empiricalName_}}) {
    auto* button = createButton(caption, id);
    const int role = row;
    connect(button, &QPushButton::clicked, this, [this, role] { chooseDataFile(role); });
    layout->addWidget(button, row, 0);
    layout->addWidget(edit, row, 1, 1, 3);
    ++row;
  }
  auto* add = createButton("Add to List", AddToList);
  auto* remove = createButton("Delete from List", DeleteFromList);
  auto* show = createButton("Show Item", ShowItem);
  connect(add, &QPushButton::clicked, this, &LinkingParametersDialog::addToList);
  connect(remove, &QPushButton::clicked, this, &LinkingParametersDialog::deleteFromList);
  connect(show, &QPushButton::clicked, this, &LinkingParametersDialog::showItem);
  layout->addWidget(add, row, 1);
  layout->addWidget(remove, row, 2);
  layout->addWidget(show, row, 3);
  layout->addWidget(pairs_, row + 1, 0, 1, 4);
  layout->setColumnStretch(1, 1);
  return group;
}

QWidget* LinkingParametersDialog::createOutputGroup() {
  auto* group = new QGroupBox("Output File");
  auto* choose = createButton("Save As", ReportSaveAs);
  connect(choose, &QPushButton::clicked, this, &LinkingParametersDialog::chooseReportFile);
  reportName_ = tagged(new QLineEdit, ReportName);
  noOutput_ = tagged(new QCheckBox("No output"), NoOutput);
  append_ = createRadio("Append", Append);
  overwrite_ = createRadio("Overwrite", Overwrite);
  auto* layout = new QHBoxLayout(group);
  layout->addWidget(choose);
  layout->addWidget(reportName_, 1);
  layout->addWidget(noOutput_);
  layout->addWidget(append_);
  layout->addWidget(overwrite_);
  return group;
}

QLayout* LinkingParametersDialog::createButtons() {
  auto* ok = tagged(new QPushButton("OK"), Ok);
  ok->setDefault(true);
  auto* cancel = createButton("Cancel", Cancel);
  auto* link = createButton("Link", Link);
  auto* saveAs = createButton("Save As", SaveAs);
  connect(ok, &QPushButton::clicked, this, &LinkingParametersDialog::confirm);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(link, &QPushButton::clicked, this, &LinkingParametersDialog::link);
  connect(saveAs, &QPushButton::clicked, this, &LinkingParametersDialog::saveAs);
  auto* layout = new QHBoxLayout;
  layout->addStretch();
  for (QPushButton* button : {ok, cancel, link, saveAs}) layout->addWidget(button);
  return layout;
}

void LinkingParametersDialog::connectControls() {
  connect(pickFile_, &QComboBox::activated, this, &LinkingParametersDialog::showFormat);
  connect(type_, &QComboBox::activated, this, &LinkingParametersDialog::showFormat);
  connect(gridPoint_, &QComboBox::activated, this, &LinkingParametersDialog::closeGridPoint);
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
  f.selectedPair = selectedRow(pairs_);
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
  showList(type_, f.type);
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
  QStringList lines;
  for (const std::string& line : f.pairs) lines << qt(line);
  QStringList shown;
  for (int i = 0; i < pairs_->count(); ++i) shown << pairs_->item(i)->text();
  if (shown != lines) {
    pairs_->clear();
    pairs_->addItems(lines);
  }
  setWindowTitle(qt(f.windowTitle()));
  showPreview();
}

void LinkingParametersDialog::showFormat() {
  readControls();
  form_->showFormat();
  showValues();
}

void LinkingParametersDialog::showPreview() {
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
  if (role < 0 || name.isEmpty()) {
    preview_->setText("Choose the picked file below to see its first record here.");
    return;
  }
  preview_->setText(qt(firstRecordPreview(std8(name), std8(row_->text()), std8(column_->text()))));
}

void LinkingParametersDialog::tell(const Refusal& refusal) {
  if (!refusal) return;
  QMessageBox box(QMessageBox::Warning,
                  refusal->caption.empty() ? QString(LinkingShell::kTitle) : qt(refusal->caption),
                  qt(refusal->text), QMessageBox::Ok, this);
  box.setObjectName("parametersMessageBox");
  box.exec();
}

bool LinkingParametersDialog::saveParameterFile(const QString& path, bool askForName) {
  readControls();
  if (const Refusal refusal = form_->checkForSave()) {
    tell(refusal);
    return false;
  }
  QString target = path;
  const bool chosen = askForName || path.isEmpty();
  if (chosen) {
    target = chooseFile(this, "Save initial file as", true, {});
    if (target.isEmpty()) return false;
  }
  if (const Refusal refusal = form_->writeFile(std8(target), chosen)) {
    tell(refusal);
    return false;
  }
  setWindowTitle(qt(form_->windowTitle()));
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

void LinkingParametersDialog::chooseReportFile() {
  readControls();
  if (form_->wantsReportFile()) {
    const QString path = chooseFile(this, "Empirical Theta File", true, reportName_->text());
    if (!path.isEmpty()) tell(form_->chooseReportFile(std8(path)));
  }
  showValues();
}

void LinkingParametersDialog::chooseDataFile(int role) {
  readControls();
  const QString path = chooseFile(this, "Empirical Theta File", false, {});
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
