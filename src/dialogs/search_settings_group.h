// SearchSettingsGroup: the collapsible "Search" group of the Linking Parameters dialog.
//
// It shows the five minimization values of a parameter file: Search_Method, Tolerance,
// Number_Change_Direction, Number_Step and Initial_Step_Length. Collapsed at first, since most
// runs keep the built-in search; the four values are written (and so editable) only when the
// method is not 0. The two counts take whole numbers only; the form checks the two typed
// decimal numbers when the file is saved.
#pragma once

#include <QWidget>

class LinkingParametersForm;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QSpinBox;
class QToolButton;

class SearchSettingsGroup : public QWidget {
  Q_OBJECT

 public:
  explicit SearchSettingsGroup(QWidget* parent = nullptr);

  void showValues(const LinkingParametersForm& form);
  void readControls(LinkingParametersForm& form) const;
  // The button that shows and hides the group; the dialog places it (beside its buttons).
  QToolButton* toggle() const { return toggle_; }

 private:
  void createControls();
  void expand(bool shown);
  void enableValues();

  QToolButton* toggle_ = nullptr;
  QGroupBox* group_ = nullptr;
  QComboBox* method_ = nullptr;
  QLineEdit* tolerance_ = nullptr;
  QSpinBox* directions_ = nullptr;
  QSpinBox* steps_ = nullptr;
  QLineEdit* stepLength_ = nullptr;
};
