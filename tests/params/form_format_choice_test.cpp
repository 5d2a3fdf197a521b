// The Type list of the Linking Parameters form: it offers the file's own format and the
// predefined formats that fit the picked file and the dimension, and what Row and Column show
// is always either a preset chosen now or the picked file's stored format.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "params/choice_list.h"
#include "params/linking_parameters_form.h"

namespace {

ChoiceList deliveredChoices() {
  std::ifstream in(std::string(TORVAK_SOURCE_DIR) + "/resources/dlginip.tvk");
  return readChoiceList(in);
}

int countOf(const std::string& format, char letter) {
  return static_cast<int>(std::count(format.begin(), format.end(), letter));
}

}  // namespace

TEST(LinkingParametersFormFormats, TypeOffersTheFormatsOfThePickedFileAndDimension) {
  using F = LinkingParametersForm;
  struct Case {
    F::Role role;
    std::string dimension;
    int slopes, thetas;  // of every format offered after the first
  } cases[] = {
      {F::From, "1", 1, 0},      {F::To, "1", 1, 0},        {F::From, "3", 3, 0},
      {F::Empirical, "1", 0, 1}, {F::Empirical, "2", 0, 2}, {F::To, "5", 5, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.role) + " at d = " + c.dimension);
    LinkingParametersForm form(deliveredChoices());
    ASSERT_EQ(form.enterValue(F::DimensionList, c.dimension), std::nullopt);
    form.pickFile.selected = c.role;
    form.pickFileClosed();
    ASSERT_EQ(form.type.entries.size(), form.typeFormats.size());
    ASSERT_GE(form.type.entries.size(), 2u);
    EXPECT_EQ(form.typeFormats[0], 0);  // the file's own format, always first
    for (std::size_t p = 1; p < form.typeFormats.size(); ++p) {
      const FormatPreset& preset = form.formats[form.typeFormats[p]];
      EXPECT_EQ(form.type.entries[p], preset.name);
      EXPECT_EQ(countOf(preset.columnFormat, 'A'), c.slopes) << preset.name;
      EXPECT_EQ(countOf(preset.columnFormat, 'T'), c.thetas) << preset.name;
      // Each position shows its own preset.
      form.type.selected = static_cast<int>(p);
      form.showFormat();
      EXPECT_EQ(form.rowText + " " + form.columnText, preset.rowSkip + " " + preset.columnFormat);
    }
  }
}

TEST(LinkingParametersFormFormats, PickingAFileShowsItsStoredFormatNotTheLastPreset) {
  LinkingParametersForm form(deliveredChoices());
  form.type.selected = 1;  // a preset for the From file
  form.showFormat();
  ASSERT_EQ(form.columnText, "ADC");
  EXPECT_EQ(form.saveShownFormat(), std::nullopt);
  form.pickFile.selected = LinkingParametersForm::To;
  form.pickFileClosed();
  EXPECT_EQ(form.type.selected, 0);
  EXPECT_EQ(form.rowText + "|" + form.columnText, "|");  // To has no format yet
  form.pickFile.selected = LinkingParametersForm::From;
  form.pickFileClosed();
  EXPECT_EQ(form.rowText + "|" + form.columnText, "0|ADC");
}

TEST(LinkingParametersFormFormats, ADimensionThatNoLongerFitsTheShownPresetShowsTheOwnFormat) {
  LinkingParametersForm form(deliveredChoices());
  form.fromFile.columnFormat = "AAD";
  const auto xadc = std::find(form.type.entries.begin(), form.type.entries.end(),
                              "Generic: label, slopes, intercept, guessing (1 dimension)");
  ASSERT_NE(xadc, form.type.entries.end());
  form.type.selected = static_cast<int>(xadc - form.type.entries.begin());
  form.showFormat();
  ASSERT_EQ(form.columnText, "XADC");
  // A typed dimension and one chosen in the list both change the offer.
  ASSERT_EQ(form.enterValue(LinkingParametersForm::DimensionList, "1"), std::nullopt);
  EXPECT_EQ(form.columnText, "XADC");  // still offered: kept
  ASSERT_EQ(form.enterValue(LinkingParametersForm::DimensionList, "2"), std::nullopt);
  EXPECT_EQ(form.type.selected, 0);
  EXPECT_EQ(form.columnText, "AAD");
}

TEST(LinkingParametersFormFormats, APresetWithOptionsSetsTheLayoutAndOneWithoutKeepsTheFiles) {
  using F = LinkingParametersForm;
  std::istringstream formats(
      "[R_C_FORMAT] $Own - 0 A $Plain - 1 XADC $Csv comma,logistic 1 XADC $Lines tab,line 0 XAD "
      "$Normal normal 1-3 XXDA $Theta comma 1 XT");
  ChoiceList choices = deliveredChoices();
  choices.formats = readChoiceList(formats).formats;
  struct Case {
    F::Role role;
    const char* preset;
    DataFileSpec file;  // the picked file's stored separator, one-record setting and metric
    char separator;
    bool line, normal;
  } cases[] = {
      {F::From, "Own", {{}, {}, {}, -1, ';', 1}, ';', true, true},
      {F::From, "Plain", {{}, {}, {}, -1, ';', 1}, ';', true, true},
      {F::From, "Csv", {{}, {}, {}, -1, ' ', 1}, ',', false, false},
      {F::To, "Lines", {{}, {}, {}, -1, ',', 0}, '\t', true, true},  // metric: the file's
      {F::From, "Normal", {{}, {}, {}, 0, ',', 1}, ' ', false, true},
      {F::Empirical, "Theta", {{}, {}, {}, -1, ' ', 1}, ',', false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.preset) + " for role " + std::to_string(c.role));
    LinkingParametersForm form(choices);
    ASSERT_EQ(form.enterValue(F::DimensionList, "1"), std::nullopt);
    DataFileSpec* files[] = {&form.fromFile, &form.toFile, &form.empiricalFile};
    *files[c.role] = c.file;
    form.pickFile.selected = c.role;
    form.pickFileClosed();
    const auto entry = std::find(form.type.entries.begin(), form.type.entries.end(), c.preset);
    ASSERT_NE(entry, form.type.entries.end());
    form.type.selected = static_cast<int>(entry - form.type.entries.begin());
    form.showFormat();
    EXPECT_EQ(form.separatorChoice, c.separator);
    EXPECT_EQ(form.recordPerLine, c.line);
    EXPECT_EQ(form.normal, c.normal);
    EXPECT_EQ(form.logistic, c.role != F::Empirical && !c.normal);
  }
}

TEST(LinkingParametersFormFormats, DetectFillsAndStoresTheFormatOfARecognisedFileOnly) {
  using F = LinkingParametersForm;
  const std::string layouts = std::string(TORVAK_SOURCE_DIR) + "/tests/data/layouts/";
  struct Case {
    F::Role role;
    const char* file;
    bool changed;
    const char* said;  // part of the message
    const char* row;   // what Row and Column show afterwards
    const char* column;
    char separator;
    bool normal;
  } cases[] = {
      {F::To, "bilog_blank_title.PAR", true, "To_Row_Skip= {1-3}", "1-3", "XXDXAXXXXXCXXXX", ' ',
       true},
      {F::From, "mirt_2d_graded_mix.csv", true, "Dimension is 1", "1", "XAADEECX", ',', false},
      {F::Empirical, "mirt_fscores_se.csv", true, "Emp_Column_Format= XTTXX", "1", "XTTXX", ',',
       false},
      {F::Empirical, "ltm_tpm.csv", false, "the file holds items", "", "A", ' ', false},
      {F::From, "no-such-file.txt", false, "cannot be opened", "", "A", ' ', false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    LinkingParametersForm form(deliveredChoices());
    ASSERT_EQ(form.enterValue(F::DimensionList, "1"), std::nullopt);
    form.pickFile.selected = c.role;
    form.pickFileClosed();
    form.rowText = "";
    form.columnText = "A";
    bool changed = false;
    const FormMessage said = form.detectFormat(layouts + c.file, changed);
    EXPECT_EQ(changed, c.changed);
    EXPECT_NE(said.text.find(c.said), std::string::npos) << said.text;
    EXPECT_EQ(form.rowText, c.row);
    EXPECT_EQ(form.columnText, c.column);
    EXPECT_EQ(form.separatorChoice, c.separator);
    if (c.role != F::Empirical) {
      EXPECT_EQ(form.normal, c.normal);
    }
    if (!c.changed) continue;
    // Stored as the file's own format, which the Type list now shows.
    const DataFileSpec& stored = c.role == F::From ? form.fromFile
                                 : c.role == F::To ? form.toFile
                                                   : form.empiricalFile;
    EXPECT_EQ(stored.columnFormat, c.column);
    EXPECT_EQ(stored.rowSkip, c.row);
    EXPECT_EQ(form.type.selected, 0);
  }
}
