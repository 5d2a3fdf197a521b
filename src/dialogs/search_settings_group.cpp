#include "dialogs/search_settings_group.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <climits>

#include "dialogs/control_id.h"
#include "dialogs/dialog_controls.h"
#include "dialogs/linking_parameters_ids.h"
#include "params/linking_parameters_form.h"

namespace {

using namespace ParametersControl;

QSpinBox* createCount(int id) {
  auto* count = tagged(new QSpinBox, id);
  count->setRange(INT_MIN, INT_MAX);  // a run takes any whole number
  return count;
}

}  // namespace

SearchSettingsGroup::SearchSettingsGroup(QWidget* parent) : QWidget(parent) {
  createControls();
  expand(false);
}

void SearchSettingsGroup::createControls() {
  toggle_ = tagged(new QToolButton, SearchToggle);
  toggle_->setText("Search");
  toggle_->setCheckable(true);
  toggle_->setAutoRaise(true);
  toggle_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  connect(toggle_, &QToolButton::toggled, this, &SearchSettingsGroup::expand);

  group_ = new QGroupBox("Search");
  group_->setObjectName("searchGroup");
  method_ = tagged(new QComboBox, SearchMethod);
  method_->setToolTip(
      "Search_Method: 0 the built-in search (Newton-Raphson, tolerance 1e-8, "
      "step 1.0, 15 directions, 8 steps), whatever the values beside it say");
  tolerance_ = tagged(new QLineEdit, Tolerance);
  tolerance_->setPlaceholderText("1e-8");
  tolerance_->setToolTip("Tolerance: empty leaves the key out, and a run takes 1e-8");
  directions_ = createCount(NumberChangeDirection);
  steps_ = createCount(NumberStep);
  stepLength_ = tagged(new QLineEdit, InitialStepLength);
  stepLength_->setPlaceholderText("1.0");
  stepLength_->setToolTip("Initial_Step_Length: empty leaves the key out, and a run takes 1.0");
  connect(method_, &QComboBox::currentIndexChanged, this, &SearchSettingsGroup::enableValues);

  auto* grid = new QGridLayout(group_);
  grid->addWidget(new QLabel("Method"), 0, 0);
  grid->addWidget(method_, 0, 1);
  grid->addWidget(new QLabel("Tolerance"), 0, 2);
  grid->addWidget(tolerance_, 0, 3);
  grid->addWidget(new QLabel("Initial step length"), 0, 4);
  grid->addWidget(stepLength_, 0, 5);
  grid->addWidget(new QLabel("Directions"), 1, 2);
  grid->addWidget(directions_, 1, 3);
  grid->addWidget(new QLabel("Steps"), 1, 4);
  grid->addWidget(steps_, 1, 5);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(group_);
}

void SearchSettingsGroup::expand(bool shown) {
  toggle_->setArrowType(shown ? Qt::DownArrow : Qt::RightArrow);
  group_->setVisible(shown);
  // A collapsed group gives its room back.
  if (!shown && window() != this) window()->adjustSize();
}

void SearchSettingsGroup::enableValues() {
  const bool written = method_->currentData().toInt() != 0;
  for (QWidget* value : {static_cast<QWidget*>(tolerance_), static_cast<QWidget*>(directions_),
                         static_cast<QWidget*>(steps_), static_cast<QWidget*>(stepLength_)}) {
    value->setEnabled(written);
  }
}

void SearchSettingsGroup::showValues(const LinkingParametersForm& form) {
  const QSignalBlocker block(method_);
  method_->clear();
  for (const auto& [code, text] : form.searchMethodChoices()) method_->addItem(qt(text), code);
  method_->setCurrentIndex(method_->findData(form.Search_Method));
  tolerance_->setText(qt(form.toleranceText));
  directions_->setValue(form.Number_Change_Direction);
  steps_->setValue(form.Number_Step);
  stepLength_->setText(qt(form.stepLengthText));
  enableValues();
}

void SearchSettingsGroup::readControls(LinkingParametersForm& form) const {
  if (method_->currentIndex() >= 0) form.Search_Method = method_->currentData().toInt();
  form.toleranceText = std8(tolerance_->text());
  form.Number_Change_Direction = directions_->value();
  form.Number_Step = steps_->value();
  form.stepLengthText = std8(stepLength_->text());
}
