#include "params/linking_parameters_form.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/temp_dir.h"

namespace {

ChoiceList choices() {
  ChoiceList list;
  list.dimensions = {"10", "1", "2", "3"};
  list.models = {"1 Least squares", "3 Test surface", "4 Item surfaces"};
  list.parameterizations = {"1 Plain", "2 Opposite"};
  list.gridPoints = {"21", "11", "0"};
  list.rangeBegins = {"-4.0", "-2.0", "2.0"};
  list.rangeEnds = {"4.0", "2.0"};
  list.formats = {{"Own", "0", "A"}, {"Two dims", "1-2", "XAAD"}, {"Theta", "1", "TT"}};
  list.fileRoles = {"From", "To", "Empirical"};
  return list;
}

LinkingParametersForm loaded(const std::string& text, FormLoadResult* result = nullptr) {
  LinkingParametersForm form(choices(), "run.ini");
  std::istringstream in(text);
  FormLoadResult r = form.load(in, "run.ini");
  if (result != nullptr) *result = r;
  return form;
}

std::string text(const Refusal& refusal) { return refusal ? refusal->text : "(none)"; }

// A form that passes every check before saving.
LinkingParametersForm complete() {
  LinkingParametersForm form(choices());
  form.fromFile.columnFormat = form.toFile.columnFormat = "AAD";
  form.pairs = {"f.dat t.dat"};
  return form;
}

}  // namespace

TEST(LinkingParametersForm, NewFormHoldsTheDocumentedStartValues) {
  LinkingParametersForm form(choices());
  EXPECT_TRUE(form.noOutput);
  EXPECT_TRUE(form.overwrite);
  EXPECT_FALSE(form.append);
  EXPECT_TRUE(form.logistic);
  EXPECT_EQ(form.dimension.selected, 0);
  EXPECT_EQ(form.windowTitle(), "Linking Parameters - Untitle");
  form.noOutput = false;
  form.toggleNoOutput();
  EXPECT_TRUE(form.overwrite);
  EXPECT_FALSE(form.append);
}

TEST(LinkingParametersForm, AddToListChecksInOrderAndRefusesLinesThatBeginWithTheNewOne) {
  struct Case {
    std::string from, to, empirical;
    int grid;
    std::string expected;
  } cases[] = {
      {"", "t.dat", "", 0, "Choose From or To data file"},
      {"f.dat", "", "", 0, "Choose From or To data file"},
      {"f.dat", "t.dat", "e.dat", 1, "If emprical theta file is needed, Set Grid Point to ZERO"},
      {"f.dat", "t.dat", "", 2, "If No Emprical theta file is needed, Set Grid Point to NONZERO"},
      {"my f.dat", "t.dat", "", 0, "A data file name can't contain blanks"},
      {"F.DAT", "T.dat", "", 0, "Files already exist on the list"},  // case ignored
      {"a.dat", "b.dat", "", 0, "(none)"},
  };
  for (const Case& c : cases) {
    LinkingParametersForm form(choices());
    form.pairs = {"x.dat y.dat z.dat", "f.dat t.dat"};
    form.fromName = c.from;
    form.toName = c.to;
    form.empiricalName = c.empirical;
    form.gridPoint.selected = c.grid;
    EXPECT_EQ(text(form.addToList()).substr(0, c.expected.size()), c.expected) << c.from;
  }
  // A pair without an empirical name is refused after one with it; the reverse is added.
  LinkingParametersForm form(choices());
  form.pairs = {"f.dat t.dat e.dat"};
  form.fromName = "f.dat";
  form.toName = "t.dat";
  EXPECT_EQ(text(form.addToList()), "Files already exist on the list");
  form.pairs = {"f.dat t.dat"};
  form.empiricalName = "e.dat";
  form.gridPoint.selected = 2;
  EXPECT_EQ(form.addToList(), std::nullopt);
  EXPECT_EQ(form.pairs, (std::vector<std::string>{"f.dat t.dat", "f.dat t.dat e.dat"}));
}

TEST(LinkingParametersForm, NamesKeepTheirLetterCaseAndPathsWithBlanksAreRefusedWhereChosen) {
  LinkingParametersForm form(choices());
  EXPECT_EQ(form.chooseDataFile(LinkingParametersForm::From, "/data/Calib A/From.dat")
                ->text.substr(0, 31),
            "A data file name can't contain ");
  EXPECT_EQ(form.fromName, "");
  EXPECT_EQ(form.chooseDataFile(LinkingParametersForm::To, "/data/Calib/To.DAT"), std::nullopt);
  EXPECT_EQ(form.toName, "/data/Calib/To.DAT");
  form.noOutput = false;
  EXPECT_TRUE(form.wantsReportFile());
  EXPECT_TRUE(form.chooseReportFile("/out/My Report.txt").has_value());
  EXPECT_EQ(form.chooseReportFile("/out/Report.TXT"), std::nullopt);
  EXPECT_EQ(form.reportName, "/out/Report.TXT");
  form.noOutput = true;
  EXPECT_FALSE(form.wantsReportFile());
  EXPECT_EQ(form.reportName, "");
  EXPECT_FALSE(form.overwrite || form.append);
}

TEST(LinkingParametersForm, DeleteAndShowItemNeedASelectedLine) {
  LinkingParametersForm form(choices());
  form.pairs = {"a b", "c d e"};
  EXPECT_EQ(text(form.deleteFromList()), "Choose a line below to delete");
  EXPECT_EQ(text(form.showItem()), "Choose a line below to show");
  form.selectedPair = 1;
  EXPECT_EQ(form.showItem(), std::nullopt);
  EXPECT_EQ(form.fromName + "|" + form.toName + "|" + form.empiricalName, "c|d|e");
  form.selectedPair = 0;
  EXPECT_EQ(form.showItem(), std::nullopt);
  EXPECT_EQ(form.empiricalName, "");
  EXPECT_EQ(form.deleteFromList(), std::nullopt);
  EXPECT_EQ(form.pairs, (std::vector<std::string>{"c d e"}));
}

TEST(LinkingParametersForm, GridPointClosingFollowsTheFirstPairLine) {
  struct Case {
    std::vector<std::string> pairs;
    int chosen;
    std::string expected;
    int selectedAfter;
  } cases[] = {
      {{}, 2, "(none)", 2},
      {{}, 0, "(none)", 0},
      {{"a b"}, 1, "(none)", 1},
      {{"a b"}, 2, "No empirical theta file present, can't set to zero grid point", 0},
      {{"a b c"}, 1, "Empirical theta file present, can't set to nonzero grid point", 2},
      {{"a b c", "d e"}, 2, "(none)", 2},
  };
  for (const Case& c : cases) {
    LinkingParametersForm form(choices());
    form.pairs = c.pairs;
    form.gridPoint.selected = c.chosen;
    EXPECT_EQ(text(form.closeGridPoint()), c.expected) << c.chosen;
    EXPECT_EQ(form.gridPoint.selected, c.selectedAfter);
  }
}

TEST(LinkingParametersForm, ScaleAndReportButtonsMoveTheCheckOnEveryClick) {
  LinkingParametersForm form(choices());
  form.clickScale();  // logistic was checked: the click moves it to normal
  EXPECT_TRUE(form.normal && !form.logistic);
  form.clickScale();
  EXPECT_TRUE(form.logistic && !form.normal);
  form.logistic = form.normal = false;  // the empirical file shows neither
  form.clickScale();
  EXPECT_TRUE(form.logistic && !form.normal);

  form.reportName = "r.txt";
  form.clickReportMode();  // No output held: nothing is checked and the name goes
  EXPECT_FALSE(form.append || form.overwrite);
  EXPECT_EQ(form.reportName, "");
  form.noOutput = false;
  form.clickReportMode();
  EXPECT_TRUE(form.overwrite && !form.append);
  form.clickReportMode();
  EXPECT_TRUE(form.append && !form.overwrite);
}

TEST(LinkingParametersForm, ShowFormatAndSaveShownFormatKeepEachFilesOwnFormat) {
  LinkingParametersForm form(choices());
  form.dimension.selected = 2;  // "2": the Type list offers the two-slope format
  form.dimensionChanged();
  form.fromFile = {"", "AAD", "1", -1};
  form.empiricalFile = {"", "TT", "1-2", 0};
  form.pickFile.selected = LinkingParametersForm::From;
  form.type.selected = 1;
  form.showFormat();
  EXPECT_EQ(form.rowText + " " + form.columnText, "1-2 XAAD");
  EXPECT_TRUE(form.normal && !form.logistic);
  form.type.selected = 0;
  form.showFormat();
  EXPECT_EQ(form.rowText + " " + form.columnText, "1 AAD");
  // Picking the empirical file shows its own texts and neither scale; its Type list offers
  // the theta formats, which show like any other.
  form.type.selected = 1;
  form.pickFile.selected = LinkingParametersForm::Empirical;
  form.pickFileClosed();
  EXPECT_EQ(form.type.selected, 0);
  EXPECT_EQ(form.rowText + " " + form.columnText, "1-2 TT");
  EXPECT_FALSE(form.normal || form.logistic);
  form.type.selected = 1;
  form.showFormat();
  EXPECT_EQ(form.rowText + " " + form.columnText, "1 TT");
  EXPECT_FALSE(form.normal || form.logistic);

  // Save Shown Format stores the shown texts and the scale for the picked file only.
  form.pickFile.selected = LinkingParametersForm::To;
  form.rowText = "3s2r1";
  form.columnText = "xaad";
  form.logistic = true;
  EXPECT_EQ(form.saveShownFormat(), std::nullopt);
  EXPECT_EQ(form.toFile.rowSkip + " " + form.toFile.columnFormat, "3S2R1 XAAD");
  EXPECT_EQ(form.toFile.fileType, 0);
  EXPECT_EQ(form.fromFile.columnFormat, "AAD");
  form.columnText = "XA AD";
  EXPECT_TRUE(form.saveShownFormat().has_value());
  EXPECT_EQ(form.toFile.columnFormat, "XAAD");
  form.pickFile.selected = -1;
  EXPECT_EQ(text(form.saveShownFormat()), "No File Type chosen");
}

TEST(LinkingParametersForm, LoadSelectsEqualEntriesFirstAndAddsUnlistedRanges) {
  const LinkingParametersForm form = loaded(
      "[REDevar Parameters] Model_Type= 3 model_type= 4 Parameterization= 2\n"
      "Theta_Dimension= 1 Output_File_Type= 0 Output_File_Name=  Out.txt\n"
      "Weighing_Method= 1 Number_Of_Grid= 11 Range_Begin= -4e0 Range_Begin= -4 Range_End= 3\n"
      "From_Row_Skip= {1-5} From_Column_Format= XAAD From_File_Type= -1\n"
      "To_Row_Skip= 3S2 To_Column_Format= AAD Emp_Row_Skip= {} Emp_Column_Format= TT\n"
      "Tolerance= 1e-7 Number_Change_Direction= 20 Number_Step= 6 Initial_Step_Length= .5\n"
      "Search_Method= 1 unknown= Other_File_1= one Other_File_2= two");
  EXPECT_EQ(form.model.text(), "4 Item surfaces");  // the last occurrence, case ignored
  EXPECT_EQ(form.parameterization.text(), "2 Opposite");
  EXPECT_EQ(form.dimension.text(), "1");  // equal, not the earlier "10"
  EXPECT_TRUE(form.append && !form.overwrite);
  EXPECT_EQ(form.reportName, "Out.txt");
  EXPECT_FALSE(form.noOutput);
  EXPECT_TRUE(form.weighedSum);
  EXPECT_EQ(form.gridPoint.text(), "11");
  EXPECT_EQ(form.rangeBegin.text(), "-4.0");
  EXPECT_EQ(form.rangeEnd.text(), "3.0");  // added at the end of the list
  EXPECT_EQ(form.rangeEnd.entries.size(), 3u);
  EXPECT_EQ(form.rangeBegin.entries.back(), "-4e0");  // a number without "." stays one
  EXPECT_EQ(form.fromFile.rowSkip, "1-5");
  EXPECT_EQ(form.fromFile.fileType, -1);
  EXPECT_EQ(form.toFile.rowSkip, "3S2");
  EXPECT_EQ(form.empiricalFile.rowSkip, "");
  EXPECT_EQ(form.toleranceText + " " + form.stepLengthText, "1e-7 .5");
  EXPECT_EQ(form.Number_Change_Direction + form.Number_Step + form.Search_Method, 27);
  EXPECT_EQ(form.outputFile.columnFormat + form.outputFile.rowSkip, "onetwo");
  EXPECT_EQ(form.settingsPath, "run.ini");
}

TEST(LinkingParametersForm, LoadTakesEveryPairAndSetsTheGridByTheEmpiricalNames) {
  struct Case {
    std::string entries;
    std::vector<std::string> pairs;
    int messages;
    std::string grid;
  } cases[] = {
      {"$Data_Files 1= a b c $Data_Files 7= d e f\n[Other]", {"a b c", "d e f"}, 0, "0"},
      {"$Data_Files 1= a b c $Data_Files 2= d e\n[Other]", {"a b c", "d e"}, 1, "0"},
      {"$Data_Files 1= a b $Data_Files 2= d e f $data_files 3= g h i\n[Other]",
       {"a b", "d e f", "g h i"}, 2, "11"},
      // Keys between the entries and the next header are passed over with the entries.
      {"$Data_Files 1= a b c Model_Type= 1 [Other] Range_End= 2.0", {"a b c"}, 0, "0"},
      {"$Data_Files 1= a b", {"a b"}, 0, "11"},
  };
  for (const Case& c : cases) {
    FormLoadResult result;
    const LinkingParametersForm form =
        loaded("Model_Type= 4 Number_Of_Grid= 11 " + c.entries, &result);
    EXPECT_EQ(form.pairs, c.pairs) << c.entries;
    EXPECT_EQ(static_cast<int>(result.messages.size()), c.messages) << c.entries;
    for (const FormMessage& m : result.messages) {
      EXPECT_EQ(m.text, "Empirical theta file is not used in all pairs");
    }
    EXPECT_EQ(form.gridPoint.text(), c.grid) << c.entries;
    EXPECT_EQ(form.model.text(), "4 Item surfaces");
  }
  EXPECT_EQ(loaded("$Data_Files 1= a b c Model_Type= 1 [Other] Range_End= 2.0").rangeEnd.text(),
            "2.0");
}

TEST(LinkingParametersForm, HalfReadFileOpensUnnamedAndAMissingFileIsNamed) {
  FormLoadResult result;
  const LinkingParametersForm form =
      loaded("Model_Type= 3\nNumber_Step= many\nTheta_Dimension= 2", &result);
  EXPECT_EQ(result.kind, FormLoadResult::HalfRead);
  ASSERT_EQ(result.messages.size(), 1u);
  EXPECT_NE(result.messages[0].text.find("run.ini"), std::string::npos);
  EXPECT_NE(result.messages[0].text.find("line 2"), std::string::npos);
  EXPECT_NE(result.messages[0].text.find("many"), std::string::npos);
  EXPECT_EQ(form.model.text(), "3 Test surface");  // read before the fault
  EXPECT_EQ(form.dimension.text(), "10");          // not read after it
  EXPECT_EQ(form.settingsPath, "");
  EXPECT_EQ(form.windowTitle(), "Linking Parameters - Untitle");

  LinkingParametersForm missing(choices(), "/no/such/run.ini");
  const FormLoadResult none = missing.loadFile("/no/such/run.ini");
  EXPECT_EQ(none.kind, FormLoadResult::CannotOpen);
  EXPECT_EQ(none.messages, (std::vector<FormMessage>{{"/no/such/run.ini", "Can't open initial file"}}));
}

TEST(LinkingParametersForm, SaveChecksInTheirOrder) {
  struct Case {
    const char* name;
    void (*change)(LinkingParametersForm&);
    std::string expected;
  } cases[] = {
      {"complete", [](LinkingParametersForm&) {}, "(none)"},
      {"no begin", [](LinkingParametersForm& f) { f.rangeBegin.selected = -1; },
       "Choose the grid range"},
      {"equal ends", [](LinkingParametersForm& f) { f.rangeBegin.selected = 2; f.rangeEnd.selected = 1; },
       "Improper Grid Range: Begin>=End"},
      {"no from format", [](LinkingParametersForm& f) { f.fromFile.columnFormat.clear(); },
       "The column format for from or to file can't be empty"},
      {"zero grid", [](LinkingParametersForm& f) { f.gridPoint.selected = 2; },
       "The column format for empirical theta file can't be empty"},
      {"typed report name", [](LinkingParametersForm& f) { f.reportName = "a b.txt"; },
       "The report file name can't contain blanks"},
      {"range before formats",
       [](LinkingParametersForm& f) { f.rangeEnd.selected = -1; f.toFile.columnFormat.clear(); },
       "Choose the grid range"},
  };
  for (const Case& c : cases) {
    LinkingParametersForm form = complete();
    form.dimension.selected = 2;  // "2": the reader takes "AAD" for two dimensions only
    c.change(form);
    EXPECT_EQ(text(form.checkForSave()).substr(0, c.expected.size()), c.expected) << c.name;
  }
}

TEST(LinkingParametersForm, SavedFileHoldsTheStoredFormatsNotTheShownTexts) {
  LinkingParametersForm form = complete();
  form.fromFile.rowSkip = "1-2";
  form.rowText = "9";  // shown, never stored
  form.columnText = "TTT";
  form.model.selected = 2;
  form.rangeEnd.selected = 1;
  form.gridPoint.selected = 1;
  form.noOutput = false;
  form.reportName = "Report.TXT";
  form.overwrite = false;
  form.append = true;
  TempDir dir;
  const std::string path = dir.file("Composed.ini");
  EXPECT_EQ(form.writeFile(path, true), std::nullopt);
  EXPECT_EQ(form.windowTitle(), "Linking Parameters - " + path);
  EXPECT_EQ(readWholeFile(path),
            "[REDevar Parameters]\nModel_Type= 4\nParameterization= 1\nTheta_Dimension= 10\n"
            "Output_File_Type= 0\nOutput_File_Name=  Report.TXT\n\n[Integral Parameter]\n"
            "Weighing_Method= 0\nNumber_Of_Grid= 11\nRange_Begin= -4.0\nRange_End= 2.0\n\n"
            "[Data File Format]\nFrom_Row_Skip= {1-2}\nFrom_Column_Format= AAD\n"
            "From_File_Type= 0 \nTo_Column_Format= AAD\nTo_File_Type= 0 \n\n"
            "[Minimization Parameters]\n\n[Data File Names]\n$Data_Files 1= f.dat t.dat\n\n"
            "[Other Parameters]\n");
  // A file that cannot be written is named, and the form keeps its name.
  const Refusal refusal = form.writeFile(dir.file("no/such/folder/x.ini"), true);
  ASSERT_TRUE(refusal.has_value());
  EXPECT_EQ(refusal->caption, "Can't write initial file");
  EXPECT_EQ(form.settingsPath, path);
}
