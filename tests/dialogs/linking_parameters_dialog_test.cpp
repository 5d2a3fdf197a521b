// The Linking Parameters dialog on screen: composing a run and saving it, loading a file and
// linking it, the boxes of refused actions, and File > New/Load Linking Ini.
#include "dialogs/linking_parameters_dialog.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
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

// Values outside the lists, typed values, the checks at save and the smaller controls.
class LinkingParametersDialogValues : public ParametersDialog {
 protected:
  LinkingParametersDialog* openOn(const QString& path) {
    return LinkingParametersDialog::open(path, frame_.get());
  }
  static QString shown(QWidget* dialog, int id) {
    return control<QComboBox>(dialog, id)->currentText();
  }
  static void typeInList(QWidget* dialog, int id, const QString& text) {
    auto* list = control<QComboBox>(dialog, id);
    list->setEditText(text);
    QTest::keyClick(list, Qt::Key_Return);
  }
};

TEST_F(LinkingParametersDialogValues, ValuesOutsideTheListsAreShownAndSavedAsTheyStand) {
  struct Case {
    QByteArray line, unlisted;  // a line of the example and the same line with another value
    int id;
    QString shown;
  } cases[] = {
      {"Theta_Dimension= 1", "Theta_Dimension= 01", Dimension, "01"},
      {"Number_Of_Grid= 41", "Number_Of_Grid= 2", GridPoint, "2"},
      {"Range_Begin= -4.0", "Range_Begin= -4.00", RangeBegin, "-4.00"},
      {"Range_End= 4.0", "Range_End= 3.7", RangeEnd, "3.7"},
      {"Model_Type= 3", "Model_Type= 2", LinkFunctionType, "2"},
  };
  const QString path = example("m3_1d_grid");
  const QByteArray original = readText(path).toUtf8();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.unlisted.toStdString());
    const QByteArray text = QByteArray(original).replace(c.line, c.unlisted);
    write("m3_1d_grid.ini", text);
    QPointer<LinkingParametersDialog> dialog = openOn(path);
    EXPECT_EQ(shown(dialog, c.id), c.shown);
    click(dialog, Ok);
    ASSERT_TRUE(waitUntil([&] { return dialog.isNull(); }));
    EXPECT_EQ(readText(path).toUtf8(), text);
  }
}

TEST_F(LinkingParametersDialogValues, TypedValuesAreTakenOrRefusedAndReturnDoesNotSave) {
  const QString path = example("m3_1d_grid");
  QPointer<LinkingParametersDialog> dialog = openOn(path);
  struct Case {
    int id;
    QString typed;
    QString box;  // the start of the refusal, empty when taken
    QString shown;
  } cases[] = {
      {GridPoint, "25", "", "25"},
      {GridPoint, "2", "", "2"},
      {GridPoint, "-2", "Grid Point: \"-2\" is not taken", "2"},
      {RangeEnd, "3.70", "", "3.70"},
      {RangeBegin, "low", "Grid Range begin: \"low\" is not taken", "-4.0"},
      {Dimension, "26", "Dimension: \"26\" is not taken: the dimension must be", "1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed.toStdString());
    BoxAnswerer answer({"OK"});
    typeInList(dialog, c.id, c.typed);
    if (c.box.isEmpty()) {
      EXPECT_TRUE(answer.texts().isEmpty()) << answer.texts().join("|").toStdString();
    } else {
      ASSERT_EQ(answer.texts().size(), 1);
      EXPECT_TRUE(answer.texts()[0].startsWith(c.box)) << answer.texts()[0].toStdString();
    }
    EXPECT_EQ(shown(dialog, c.id), c.shown);
    ASSERT_TRUE(dialog->isVisible()) << "Return pressed the default button";
  }
  // A value typed and not confirmed is checked when OK is pressed: nothing is written.
  const QString before = readText(path);
  control<QComboBox>(dialog, Dimension)->setEditText("0");
  {
    BoxAnswerer answer({"OK"});
    click(dialog, Ok);
    EXPECT_EQ(answer.texts().size(), 1);
  }
  ASSERT_FALSE(dialog.isNull());
  EXPECT_EQ(readText(path), before);
  click(dialog, Ok);
  ASSERT_TRUE(waitUntil([&] { return dialog.isNull(); }));
  const QString saved = readText(path);
  EXPECT_TRUE(saved.contains("\nNumber_Of_Grid= 2\n")) << saved.toStdString();
  EXPECT_TRUE(saved.contains("\nRange_End= 3.70\n"));
}

TEST_F(LinkingParametersDialogValues, FormatsTheReaderRefusesAndAMissingReportFolderAreNotSaved) {
  struct Case {
    QByteArray from, to;
    QString box;
  } cases[] = {
      {"From_Row_Skip= {abc}", "From_Column_Format= ADC", "row-skip list {abc}: names no line"},
      {"From_Column_Format= ZZ", "", "column format ZZ: 'Z' is no column letter"},
      {"Output_File_Name=  no/such/folder/report.txt", "", "The folder of the report file does"},
  };
  const QString path = example("m3_1d_grid");
  const QByteArray original = readText(path).toUtf8();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.box.toStdString());
    write("m3_1d_grid.ini", original + c.from + "\n" + c.to + "\n");
    QPointer<LinkingParametersDialog> dialog = openOn(path);
    const QString before = readText(path);
    for (const int button : {Ok, Link}) {
      BoxAnswerer answer({"OK"});
      click(dialog, button);
      ASSERT_EQ(answer.texts().size(), 1);
      EXPECT_TRUE(answer.texts()[0].contains(c.box)) << answer.texts()[0].toStdString();
    }
    ASSERT_FALSE(dialog.isNull());
    EXPECT_EQ(readText(path), before);
    EXPECT_EQ(frame_->activeRunCount(), 0);
    click(dialog, Cancel);
    waitUntil([&] { return dialog.isNull(); });
  }
}

TEST_F(LinkingParametersDialogValues, TypeOffersWholeNamesThatFitAndPickFileShowsTheStoredFormat) {
  BoxAnswerer unexpected({"OK"});  // answers a save that Return should not have started
  QPointer<LinkingParametersDialog> dialog = openOn({});
  auto* type = control<QComboBox>(dialog, Type);
  QStringList names;
  for (int i = 0; i < type->count(); ++i) names << type->itemText(i);
  EXPECT_EQ(names.first(), "Format of the picked file");
  EXPECT_TRUE(names.contains("Generic: slopes, intercept, guessing (1 dimension)"));
  for (const QString& name : names) {
    EXPECT_FALSE(name.contains("Theta") || name.contains("dimensions)")) << name.toStdString();
    EXPECT_GE(type->view()->minimumWidth(), type->fontMetrics().horizontalAdvance(name));
    EXPECT_EQ(type->itemData(names.indexOf(name), Qt::ToolTipRole).toString(), name);
  }
  choose(dialog, Type, "Generic: slopes, intercept, guessing (1 dimension)");
  EXPECT_EQ(control<QLineEdit>(dialog, Column)->text(), "ADC");
  choose(dialog, PickFile, "To");
  EXPECT_EQ(type->currentIndex(), 0);
  EXPECT_EQ(control<QLineEdit>(dialog, Column)->text(), "");
  choose(dialog, PickFile, "Empirical");
  EXPECT_GE(type->findText("Theta file, 1 column"), 1);
  EXPECT_EQ(type->findText("Theta file, 2 columns"), -1);
  typeInList(dialog, Dimension, "2");
  ASSERT_TRUE(dialog->isVisible());
  EXPECT_TRUE(unexpected.texts().isEmpty());
  EXPECT_GE(type->findText("Theta file, 2 columns"), 1);
}

TEST_F(LinkingParametersDialogValues, ALongFirstRecordWrapsWithinTheDialog) {
  const QString data = write("long.dat", QByteArray(600, 'x') + " 1.0 0.5 0.1\n");
  QPointer<LinkingParametersDialog> dialog = openOn({});
  const int narrow = dialog->minimumSizeHint().width();
  type(dialog, Column, "XADC");
  type(dialog, FromName, data);
  emit control<QLineEdit>(dialog, FromName)->editingFinished();
  auto* preview = dialog->findChild<QLabel*>("recordPreview");
  EXPECT_TRUE(preview->text().contains(QString(600, 'x')));
  EXPECT_TRUE(preview->toolTip().startsWith(preview->text()));
  QApplication::processEvents();  // the layout takes the new text
  EXPECT_EQ(dialog->minimumSizeHint().width(), narrow);
  EXPECT_LT(dialog->width(), 1000);
}

TEST_F(LinkingParametersDialogValues, SaveAsOffersIniFilesAddsTheExtensionAndNotesTheFile) {
  const QString path = example("m3_1d_grid");
  QPointer<LinkingParametersDialog> dialog = openOn(path);
  QStringList filters;
  QString suffix;
  QTimer peek;
  QObject::connect(&peek, &QTimer::timeout, [&] {
    if (auto* files = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
      filters = files->nameFilters();
      suffix = files->defaultSuffix();
    }
  });
  peek.start(5);
  const QString chosen = QString::fromStdString(dir_.file("Saved Copy"));
  FileDialogAnswerer answer(chosen);
  click(dialog, SaveAs);
  EXPECT_EQ(filters, (QStringList{"Linking parameter files (*.ini)", "All files (*)"}));
  EXPECT_EQ(suffix, "ini");
  EXPECT_EQ(readText(chosen + ".ini"), readText(path));
  EXPECT_TRUE(profile_->recentFiles().contains(chosen + ".ini"));
  EXPECT_TRUE(dialog->windowTitle().endsWith(chosen + ".ini"));
}

TEST_F(LinkingParametersDialogValues, SearchGroupAndCarriedTextsShowAndSaveTheirValues) {
  const QString path = example("m3_1d_grid");
  QByteArray text = readText(path).toUtf8();
  text.replace("[Minimization Parameters]\n",
               "[Minimization Parameters]\nTolerance= 1e-6\nNumber_Change_Direction= 20\n"
               "Number_Step= 6\nInitial_Step_Length= .5\nSearch_Method= 1 \n");
  text.append("Other_File_1= first\n");
  write("m3_1d_grid.ini", text);
  QPointer<LinkingParametersDialog> dialog = openOn(path);
  auto* group = dialog->findChild<QGroupBox*>("searchGroup");
  EXPECT_FALSE(group->isVisible());  // collapsed at first
  click(dialog, SearchToggle);
  EXPECT_TRUE(group->isVisible());
  EXPECT_EQ(control<QLineEdit>(dialog, Tolerance)->text(), "1e-6");
  EXPECT_EQ(control<QComboBox>(dialog, SearchMethod)->currentText(), "1 steepest descent");
  EXPECT_EQ(control<QLineEdit>(dialog, OtherFile1)->text(), "first");
  type(dialog, Tolerance, "tiny");
  {
    BoxAnswerer answer({"OK"});
    click(dialog, Ok);
    ASSERT_EQ(answer.texts().size(), 1);
    EXPECT_TRUE(answer.texts()[0].startsWith("Search: Tolerance \"tiny\" is not a number"));
  }
  type(dialog, Tolerance, "1e-7");
  control<QSpinBox>(dialog, NumberStep)->setValue(9);
  type(dialog, OtherFile2, "second");
  click(dialog, Ok);
  ASSERT_TRUE(waitUntil([&] { return dialog.isNull(); }));
  const QString saved = readText(path);
  EXPECT_TRUE(
      saved.contains("\nTolerance= 1e-7\nNumber_Change_Direction= 20\nNumber_Step= 9\n"
                     "Initial_Step_Length= .5\nSearch_Method= 1 \n"))
      << saved.toStdString();
  EXPECT_TRUE(saved.endsWith("Other_File_1= first\nOther_File_2= second\n\n"));
}

// The separator and one-record-per-line settings of a file: shown for the picked file,
// stored by Save Shown Format, written only when not the default, and used by the preview.
TEST_F(LinkingParametersDialogValues, SeparatorAndOneRecordPerLineAreStoredPerFile) {
  const QString path = example("m1_1d");
  write("m1_1d_from.dat", "\"\",\"a\",\"d\",\"g\"\n\"Item.1\",1.2593,0.4257,0.1609\n");
  QPointer<LinkingParametersDialog> dialog = openOn(path);
  auto* separator = control<QComboBox>(dialog, Separator);
  auto* perLine = control<QCheckBox>(dialog, RecordPerLine);
  EXPECT_EQ(separator->currentText(), "blanks");
  EXPECT_FALSE(perLine->isChecked());
  choose(dialog, PickFile, "From");
  type(dialog, Row, "1");
  choose(dialog, Separator, "commas");
  EXPECT_TRUE(perLine->isChecked() && !perLine->isEnabled()) << "separated fields: a line each";
  EXPECT_TRUE(dialog->findChild<QLabel*>("recordPreview")
                  ->text()
                  .startsWith("First record:  X Item.1  A 1.2593  D 0.4257  C 0.1609"))
      << dialog->findChild<QLabel*>("recordPreview")->text().toStdString();
  click(dialog, SaveShownFormat);
  choose(dialog, PickFile, "To");
  EXPECT_EQ(separator->currentText(), "blanks") << "the To file keeps its own";
  perLine->setChecked(true);
  click(dialog, SaveShownFormat);
  choose(dialog, PickFile, "From");
  EXPECT_EQ(separator->currentText(), "commas");
  click(dialog, Ok);
  ASSERT_TRUE(waitUntil([&] { return dialog.isNull(); }));
  const QString saved = readText(path);
  EXPECT_TRUE(saved.contains("From_Separator= comma\n")) << saved.toStdString();
  EXPECT_FALSE(saved.contains("From_One_Record_Per_Line=")) << "implied by the separator";
  EXPECT_TRUE(saved.contains("To_One_Record_Per_Line= 1\n")) << saved.toStdString();
  EXPECT_FALSE(saved.contains("To_Separator="));
}

TEST_F(ParametersDialog, DetectShowsWhatItRecognisedAndFillsThePickedFilesFormat) {
  action(CommandId::NewLinkingIni)->trigger();
  QPointer<LinkingParametersDialog> dialog = openDialog();
  ASSERT_NE(dialog, nullptr);
  choose(dialog, Dimension, "1");
  control<QComboBox>(dialog, PickFile)->setCurrentIndex(1);
  emit control<QComboBox>(dialog, PickFile)->activated(1);
  const QString file = TORVAK_SOURCE_DIR "/tests/data/layouts/bilog_blank_title.PAR";
  type(dialog, ToName, file);
  {
    BoxAnswerer answer({"OK"});
    click(dialog, DetectFormat);
    ASSERT_EQ(answer.texts().size(), 1);
    EXPECT_TRUE(answer.texts()[0].startsWith(file + ": BILOG-MG .PAR"))
        << answer.texts()[0].toStdString();
  }
  EXPECT_EQ(control<QLineEdit>(dialog, Row)->text(), "1-3");
  EXPECT_EQ(control<QLineEdit>(dialog, Column)->text(), "XXDXAXXXXXCXXXX");
  EXPECT_TRUE(control<QRadioButton>(dialog, Normal)->isChecked());
  EXPECT_TRUE(dialog->findChild<QLabel*>("recordPreview")->text().endsWith("|  3 records"))
      << dialog->findChild<QLabel*>("recordPreview")->text().toStdString();
  dialog->reject();
}
