// The Linking Parameters dialog on screen: composing a run and saving it, loading a file and
// linking it, the boxes of refused actions, and File > New/Load Linking Ini.
#include "dialogs/linking_parameters_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "app/command_ids.h"
#include "app/gui_fixture.h"
#include "app/pellan1_view.h"
#include "dialogs/linking_parameters_ids.h"

namespace {

using namespace ParametersControl;

// Answers the next file dialog with path (or cancels it when path is empty); records its title.
class FileDialogAnswerer {
 public:
  explicit FileDialogAnswerer(QString path) : path_(std::move(path)) {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (dialog == nullptr) return;
      timer_.stop();
      title_ = dialog->windowTitle();
      if (path_.isEmpty()) {
        dialog->reject();
        return;
      }
      dialog->findChild<QLineEdit*>("fileNameEdit")->setText(path_);
      auto* buttons = dialog->findChild<QDialogButtonBox*>("buttonBox");
      QPushButton* accept = buttons->button(QDialogButtonBox::Save);
      if (accept == nullptr) accept = buttons->button(QDialogButtonBox::Open);
      accept->click();
    });
    timer_.start(10);
  }
  const QString& title() const { return title_; }

 private:
  QString path_;
  QString title_;
  QTimer timer_;
};

}  // namespace

class ParametersDialog : public GuiFixture {
 protected:
  LinkingParametersDialog* openDialog() const {
    const auto dialogs = frame_->findChildren<LinkingParametersDialog*>();
    return dialogs.isEmpty() ? nullptr : dialogs.last();
  }
  template <typename W>
  static W* control(QWidget* dialog, int id) {
    return dialog->findChild<W*>(QString("ID_%1").arg(id));
  }
  static void choose(QWidget* dialog, int id, const QString& text) {
    auto* list = control<QComboBox>(dialog, id);
    const int index = list->findText(text);
    ASSERT_GE(index, 0) << text.toStdString();
    list->setCurrentIndex(index);
    emit list->activated(index);
  }
  static void click(QWidget* dialog, int id) { control<QAbstractButton>(dialog, id)->click(); }
  static void type(QWidget* dialog, int id, const QString& text) {
    control<QLineEdit>(dialog, id)->setText(text);
  }
};

TEST_F(ParametersDialog, NewComposePairSaveAsAndTheWrittenFileRuns) {
  example("m1_1d");
  action(CommandId::NewLinkingIni)->trigger();
  QPointer<LinkingParametersDialog> dialog = openDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(dialog->windowTitle().endsWith("Untitle"));
  EXPECT_TRUE(control<QCheckBox>(dialog, NoOutput)->isChecked());
  EXPECT_TRUE(control<QRadioButton>(dialog, Overwrite)->isChecked());
  EXPECT_FALSE(control<QLineEdit>(dialog, ReportName)->isEnabled());
  click(dialog, NoOutput);
  EXPECT_TRUE(control<QLineEdit>(dialog, ReportName)->isEnabled());
  EXPECT_TRUE(control<QRadioButton>(dialog, Overwrite)->isChecked());
  click(dialog, Append);
  EXPECT_TRUE(control<QRadioButton>(dialog, Append)->isChecked());
  EXPECT_FALSE(control<QRadioButton>(dialog, Overwrite)->isChecked());
  click(dialog, NoOutput);
  EXPECT_FALSE(control<QRadioButton>(dialog, Append)->isChecked());
  EXPECT_FALSE(control<QRadioButton>(dialog, Overwrite)->isChecked());
  {
    BoxAnswerer answer({"OK"});
    click(dialog, AddToList);
    EXPECT_EQ(answer.texts(), QStringList{"Choose From or To data file"});
  }
  choose(dialog, Dimension, "1");
  choose(dialog, GridPoint, "11");
  for (const int file : {0, 1}) {
    control<QComboBox>(dialog, PickFile)->setCurrentIndex(file);
    emit control<QComboBox>(dialog, PickFile)->activated(file);
    type(dialog, Row, "1-2");
    type(dialog, Column, "XADC");
    click(dialog, SaveShownFormat);
  }
  const QString from = QString::fromStdString(dir_.file("m1_1d_from.dat"));
  type(dialog, FromName, from);
  type(dialog, ToName, QString::fromStdString(dir_.file("m1_1d_to.dat")));
  // The first record of the picked file (To) is shown as the reader takes it.
  emit control<QLineEdit>(dialog, ToName)->editingFinished();
  EXPECT_EQ(dialog->findChild<QLabel*>("recordPreview")->text(),
            "First record:  X item01  A 1.5797  D -0.3667  C 0.1609   |  20 records");
  click(dialog, AddToList);
  ASSERT_EQ(control<QListWidget>(dialog, PairList)->count(), 1);

  const QString saved = QString::fromStdString(dir_.file("Composed Run.ini"));
  FileDialogAnswerer answer(saved);
  click(dialog, SaveAs);
  EXPECT_EQ(answer.title(), "Save initial file as");
  ASSERT_TRUE(QFile::exists(saved));
  EXPECT_TRUE(dialog->windowTitle().endsWith(saved));
  EXPECT_TRUE(readText(saved).contains("$Data_Files 1= " + from + " "));

  click(dialog, Link);  // named now: saves without asking, runs and closes
  ASSERT_TRUE(waitUntil(
      [&] { return dialog.isNull() && frame_->runStatusText().startsWith("Linking Done"); }));
  ASSERT_NE(outputView(saved), nullptr);
  EXPECT_EQ(outputView(saved)->toPlainText(), expectedOutput("m1_1d"));
}

TEST_F(ParametersDialog, LoadLinkingIniThenLinkShowsTheReportInAnOutputWindow) {
  const QString path = example("m3_1d_grid");
  const QString original = readText(path);
  {
    FileDialogAnswerer answer(path);
    action(CommandId::LoadLinkingIni)->trigger();
    EXPECT_EQ(answer.title(), "Open Linking Parameter File");
  }
  QPointer<LinkingParametersDialog> dialog = openDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->windowTitle(), "Torvak Linking Parameters - " + path);
  EXPECT_EQ(control<QComboBox>(dialog, LinkFunctionType)->currentText().left(2), "3 ");
  EXPECT_FALSE(control<QCheckBox>(dialog, NoOutput)->isChecked());
  click(dialog, Link);
  ASSERT_TRUE(waitUntil(
      [&] { return dialog.isNull() && frame_->runStatusText().startsWith("Linking Done"); }));
  EXPECT_EQ(readText(path), original);
  ASSERT_NE(outputView(path), nullptr);
  EXPECT_EQ(outputView(path)->toPlainText(), expectedOutput("m3_1d_grid"));
}

TEST_F(ParametersDialog, RefusedSaveKeepsTheDialogOpenAndCancelClosesIt) {
  action(CommandId::NewLinkingIni)->trigger();
  action(CommandId::NewLinkingIni)->trigger();
  EXPECT_EQ(frame_->findChildren<LinkingParametersDialog*>().size(), 2);
  QPointer<LinkingParametersDialog> dialog = openDialog();
  {
    BoxAnswerer answer({"OK"});
    click(dialog, Ok);
    EXPECT_EQ(answer.texts(), QStringList{"The column format for from or to file can't be empty"});
  }
  ASSERT_FALSE(dialog.isNull());
  EXPECT_TRUE(dialog->isVisible());
  click(dialog, Cancel);
  EXPECT_TRUE(waitUntil([&] { return dialog.isNull(); }));
  EXPECT_EQ(frame_->findChildren<LinkingParametersDialog*>().size(), 1);
}
