// LinkingParametersDialog: the window in which a user composes a linking parameter file.
//
// Modeless; several may be open at once, each editing one file, and each frees itself when
// closed. The values and every rule live in LinkingParametersForm; this class only shows the
// form in its controls (showValues), copies typed text back (readControls), asks for file
// names and shows the form's messages in boxes owned by the dialog. Its controls are made in
// linking_parameters_layout.cpp.
#pragma once

#include <QDialog>
#include <QString>
#include <memory>

#include "params/linking_parameters_form.h"

class LinkingShell;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class SearchSettingsGroup;
class ValueListBox;

class LinkingParametersDialog : public QDialog {
  Q_OBJECT

 public:
  // Creates and shows a dialog for path (empty: a new file). Returns nullptr when the
  // choice-list file is missing (the dialog has told the user and closed itself).
  static LinkingParametersDialog* open(const QString& path, LinkingShell* shell);
  ~LinkingParametersDialog() override;

 protected:
  void changeEvent(QEvent* event) override;

 private:
  using TypedList = LinkingParametersForm::TypedList;

  LinkingParametersDialog(std::unique_ptr<LinkingParametersForm> form, LinkingShell* shell);
  void createControls();
  QLayout* createSettingsGroup();
  QWidget* createFormatGroup();
  QWidget* createFilesGroup();
  QWidget* createOutputGroup();
  QLayout* createButtons();
  void connectControls();
  ValueListBox* valueList(TypedList list) const;

  void readControls();
  void showValues();
  void showFormat();
  void showPreview();
  QString pickedFilePath() const;  // the picked file as a run finds it; empty when none
  void tell(const Refusal& refusal);
  bool saveParameterFile(const QString& path, bool askForName);

  void confirm();
  void link();
  void saveAs();
  void saveShownFormat();
  void detectFormat();
  void chooseReportFile();
  void chooseDataFile(int role);
  void addToList();
  void deleteFromList();
  void showItem();
  void closeGridPoint();
  void closeDimension();
  void closePickFile();
  // Takes the text typed into a list; false (after saying why) when the form refuses it.
  bool takeTypedValue(TypedList list);
  bool takeTypedValues();

  std::unique_ptr<LinkingParametersForm> form_;
  LinkingShell* shell_;
  bool takingValue_ = false;  // a refusal box is up: its focus change takes nothing more
  ValueListBox* dimension_ = nullptr;
  QComboBox* model_ = nullptr;
  QComboBox* parameterization_ = nullptr;
  ValueListBox* gridPoint_ = nullptr;
  ValueListBox* rangeBegin_ = nullptr;
  ValueListBox* rangeEnd_ = nullptr;
  QComboBox* pickFile_ = nullptr;
  QComboBox* type_ = nullptr;
  QCheckBox* weighedSum_ = nullptr;
  QCheckBox* noOutput_ = nullptr;
  QComboBox* separator_ = nullptr;
  QCheckBox* recordPerLine_ = nullptr;
  QLineEdit* row_ = nullptr;
  QLineEdit* column_ = nullptr;
  QLineEdit* fromName_ = nullptr;
  QLineEdit* toName_ = nullptr;
  QLineEdit* empiricalName_ = nullptr;
  QLineEdit* reportName_ = nullptr;
  QLineEdit* otherFile1_ = nullptr;
  QLineEdit* otherFile2_ = nullptr;
  QRadioButton* logistic_ = nullptr;
  QRadioButton* normal_ = nullptr;
  QRadioButton* append_ = nullptr;
  QRadioButton* overwrite_ = nullptr;
  QListWidget* pairs_ = nullptr;
  QLabel* preview_ = nullptr;
  SearchSettingsGroup* search_ = nullptr;
};
