// The controls of the Linking Parameters dialog and their places: the settings lists, the data
// file format, the data files and pairs, the report file, the search settings, the carried
// texts and the buttons, top to bottom.
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <tuple>

#include "dialogs/control_id.h"
#include "dialogs/dialog_controls.h"
#include "dialogs/linking_parameters_dialog.h"
#include "dialogs/linking_parameters_ids.h"
#include "dialogs/search_settings_group.h"
#include "dialogs/value_list_box.h"

using namespace ParametersControl;

void LinkingParametersDialog::createControls() {
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(createSettingsGroup());
  layout->addWidget(createFormatGroup());
  layout->addWidget(createFilesGroup());
  layout->addWidget(createOutputGroup());
  search_ = new SearchSettingsGroup;
  layout->addWidget(search_);
  layout->addLayout(createButtons());
}

QLayout* LinkingParametersDialog::createSettingsGroup() {
  dimension_ = createValueList(Dimension);
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
  gridPoint_ = createValueList(GridPoint);
  weighedSum_ = tagged(new QCheckBox("Weighed Sum"), WeighedSum);
  rangeBegin_ = createValueList(RangeBegin);
  rangeEnd_ = createValueList(RangeEnd);
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
  column_->setToolTip(
      "One letter per word or field of a record:\n"
      "A slope, B difficulty, C guessing, G guessing as a logit, D intercept,\n"
      "N intercept negated, T theta coordinate, X passed over;\n"
      "graded and partial credit items: K or P the category count (D reads d1,\n"
      "R the other intercepts), M the item model (1 or 3PL, 2 or graded, 2PL, gpcm),\n"
      "E or Q one category intercept of a table column (NA past the item's last),\n"
      "S a column with a value for partial credit items only (mirt's ak1)");
  logistic_ = createRadio("1(logistic)", Logistic);
  normal_ = createRadio("1.702(normal)", Normal);
  separator_ = createList(Separator);
  for (auto [text, separator] : {std::pair{"blanks", ' '}, std::pair{"commas", ','},
                                 std::pair{"semicolons", ';'}, std::pair{"tabs", '\t'}}) {
    separator_->addItem(text, QVariant(static_cast<int>(separator)));
  }
  separator_->setToolTip("How the file's fields are separated; commas, semicolons and tabs also "
                         "read quoted fields, and every line is one record");
  recordPerLine_ = tagged(new QCheckBox("One record per line"), RecordPerLine);
  recordPerLine_->setToolTip("Each line read is one record; words after the format's are "
                             "passed over (standard errors, say)");
  auto* save = createButton("Save Shown\nFormat", SaveShownFormat);
  connect(save, &QPushButton::clicked, this, &LinkingParametersDialog::saveShownFormat);
  auto* detect = createButton("Detect", DetectFormat);
  detect->setToolTip("Work out the picked file's format from its content (mirt, ltm, TAM, "
                     "flexMIRT, IRTPRO, BILOG-MG, PARSCALE and plain tables)");
  connect(detect, &QPushButton::clicked, this, &LinkingParametersDialog::detectFormat);
  preview_ = new QLabel;
  preview_->setObjectName("recordPreview");
  preview_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  preview_->setStyleSheet("color: palette(mid);");
  // A long record wraps within the dialog instead of widening it; the tooltip holds it all.
  preview_->setWordWrap(true);
  preview_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
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
  layout->addWidget(normal_, 2, 2);
  auto* split = new QHBoxLayout;
  split->addWidget(new QLabel("Separated by"));
  split->addWidget(separator_);
  split->addWidget(recordPerLine_);
  split->addStretch();
  layout->addLayout(split, 2, 3);
  layout->addWidget(detect, 0, 6);
  layout->addWidget(save, 1, 5, 2, 2);
  layout->addWidget(preview_, 3, 0, 1, 7);
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
  auto* report = new QHBoxLayout;
  report->addWidget(choose);
  report->addWidget(reportName_, 1);
  report->addWidget(noOutput_);
  report->addWidget(append_);
  report->addWidget(overwrite_);
  // The two other file names are carried with the report's settings (a run does not use them).
  otherFile1_ = tagged(new QLineEdit, OtherFile1);
  otherFile2_ = tagged(new QLineEdit, OtherFile2);
  auto* other = new QHBoxLayout;
  for (auto [caption, edit] :
       {std::pair{"Other_File_1", otherFile1_}, std::pair{"Other_File_2", otherFile2_}}) {
    edit->setToolTip("A text kept with the parameter file (one word); a run does not use it");
    other->addWidget(new QLabel(caption));
    other->addWidget(edit, 1);
  }
  auto* layout = new QVBoxLayout(group);
  layout->addLayout(report);
  layout->addLayout(other);
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
  // The Search group's toggle stands here, so that the collapsed group takes no row.
  layout->addWidget(search_->toggle());
  layout->addStretch();
  for (QPushButton* button : {ok, cancel, link, saveAs}) layout->addWidget(button);
  return layout;
}
