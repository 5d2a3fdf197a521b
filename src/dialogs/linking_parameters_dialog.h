// LinkingParametersDialog: the window in which a user composes a linking parameter file.
//
// Modeless; several may be open at once, each editing one file, and each frees itself when
// closed. The values and every rule live in LinkingParametersForm; this class only shows the
// form in its controls (showValues), copies typed text back (readControls), asks for file
// names and shows the form's messages in boxes owned by the dialog.
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

class LinkingParametersDialog : public QDialog {
  Q_OBJECT

 public:
  // Creates and shows a dialog for path (empty: a new file). Returns nullptr when the
  // choice-list file is missing (the dialog has told the user and closed itself).
  static LinkingParametersDialog* open(const QString& path, LinkingShell* shell);

 protected:
  void changeEvent(QEvent* event) override;

 private:
  LinkingParametersDialog(std::unique_ptr<LinkingParametersForm> form, LinkingShell* shell);
  void createControls();
  QLayout* createSettingsGroup();
  QWidget* createFormatGroup();
  QWidget* createFilesGroup();
  QWidget* createOutputGroup();
  QLayout* createButtons();
  void connectControls();

  void readControls();
  void showValues();
  void showFormat();
  void showPreview();
  void tell(const Refusal& refusal);
  bool saveParameterFile(const QString& path, bool askForName);

  void confirm();
  void link();
  void saveAs();
  void saveShownFormat();
  void chooseReportFile();
  void chooseDataFile(int role);
  void addToList();
  void deleteFromList();
  void showItem();
  void closeGridPoint();

  std::unique_ptr<LinkingParametersForm> form_;
  LinkingShell* shell_;
  QComboBox* dimension_ = nullptr;
  QComboBox* model_ = nullptr;
  QComboBox* parameterization_ = nullptr;
  QComboBox* gridPoint_ = nullptr;
  QComboBox* rangeBegin_ = nullptr;
  QComboBox* rangeEnd_ = nullptr;
  QComboBox* pickFile_ = nullptr;
  QComboBox* type_ = nullptr;
  QCheckBox* weighedSum_ = nullptr;
  QCheckBox* noOutput_ = nullptr;
  QLineEdit* row_ = nullptr;
  QLineEdit* column_ = nullptr;
  QLineEdit* fromName_ = nullptr;
  QLineEdit* toName_ = nullptr;
  QLineEdit* empiricalName_ = nullptr;
  QLineEdit* reportName_ = nullptr;
  QRadioButton* logistic_ = nullptr;
  QRadioButton* normal_ = nullptr;
  QRadioButton* append_ = nullptr;
  QRadioButton* overwrite_ = nullptr;
  QListWidget* pairs_ = nullptr;
  QLabel* preview_ = nullptr;
};
