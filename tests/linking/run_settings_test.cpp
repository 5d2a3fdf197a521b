#include "linking/run_settings.h"

#include <gtest/gtest.h>

#include "support/linking_fixture.h"

namespace {

struct Loaded {
  int result;
  RunSettings s;
};

Loaded load(LinkingFixture& f) {
  Loaded l;
  l.s.reset();
  l.s.job = &f.job;
  l.result = loadRunSettings(l.s, f.job.parameterFilePath);
  return l;
}

void writeTwoItemFiles(LinkingFixture& f) {
  f.writeItems("from.txt", {{1.0, 0.0}, {2.0, 0.0}, {1.5, 0.2}});
  f.writeItems("to.txt", {{2.0, 1.0}, {4.0, 2.0}});
}

}  // namespace

TEST(RunSettingsLoad, ValidGridRunCountsItemsAndPointsAndResolvesNames) {
  LinkingFixture f;
  writeTwoItemFiles(f);
  f.writeParameters(gridKeys(1, 2, 5, "AAD"), {"1= from.txt to.txt"});
  Loaded l = load(f);
  ASSERT_EQ(l.result, kLoadOk);
  EXPECT_EQ(l.s.itemCount, 2);  // the smaller of the two files
  EXPECT_EQ(l.s.pointCount, 25);
  EXPECT_EQ(l.s.fromFile.name, f.dir.file("from.txt"));
  EXPECT_EQ(l.s.outputFile.name, f.dir.file("report.txt"));
  EXPECT_EQ(l.s.settingsPath, f.job.parameterFilePath);
  EXPECT_TRUE(f.host.messages.empty());
}

TEST(RunSettingsLoad, CorrectionsApplyInOrder) {
  LinkingFixture f;
  writeTwoItemFiles(f);
  // No range keys, negative model, grid too large for the dimension.
  f.writeParameters({"Model_Type= -3", "Theta_Dimension= 2", "Number_Of_Grid= 2000",
                     "From_Column_Format= AAD", "To_Column_Format= AAD"},
                    {"1= from.txt to.txt"});
  Loaded l = load(f);
  ASSERT_EQ(l.result, kLoadOk);
  EXPECT_EQ(l.s.Model_Type, 1);
  EXPECT_EQ(l.s.Range_Begin, -4.0);
  EXPECT_EQ(l.s.Range_End, 4.0);
  EXPECT_EQ(l.s.Number_Of_Grid, 11);
  EXPECT_EQ(l.s.pointCount, 121);
}

TEST(RunSettingsLoad, DimensionAboveTwentyFiveSaysSo) {
  LinkingFixture f;
  writeTwoItemFiles(f);
  f.writeParameters({"Theta_Dimension= 60", "Number_Of_Grid= 60", "From_Column_Format= AD",
                     "To_Column_Format= AD"},
                    {"1= from.txt to.txt"});
  Loaded l = load(f);
  EXPECT_EQ(l.result, kLoadFailed);
  EXPECT_EQ(l.s.Theta_Dimension, 0);
  EXPECT_EQ(l.s.Number_Of_Grid, 11);
  EXPECT_EQ(f.host.messageTexts(),
            std::vector<std::string>{f.job.parameterFilePath +
                                     ": Theta_Dimension= 60 is out of range: the dimension "
                                     "must be 1 to 25"});
}

TEST(RunSettingsLoad, GridAndEmpiricalChecksShowTheirMessages) {
  LinkingFixture f;
  writeTwoItemFiles(f);
  f.writeParameters(
      {"Theta_Dimension= 1", "Number_Of_Grid= 1", "From_Column_Format= AD", "To_Column_Format= AD"},
      {"1= from.txt to.txt"});
  EXPECT_EQ(load(f).result, kLoadFailed);
  EXPECT_EQ(f.host.messageTexts(),
            std::vector<std::string>{"Grid point=0 and Emperical file empty"});

  // An entry with only two names on an empirical run takes the next entry's marker as the
  // empirical name and clears it.
  LinkingFixture g;
  writeTwoItemFiles(g);
  g.writeParameters(
      {"Theta_Dimension= 1", "Number_Of_Grid= 0", "From_Column_Format= AD", "To_Column_Format= AD"},
      {"1= from.txt to.txt", "2= from.txt to.txt"});
  Loaded l = load(g);
  EXPECT_EQ(l.result, kLoadFailed);
  EXPECT_EQ(l.s.empiricalFile.name, "");
  EXPECT_EQ(g.host.messageTexts(),
            std::vector<std::string>{"Grid point=0 and Emperical file empty"});

  // A grid key after an entry that named an empirical file: the grid is dropped.
  LinkingFixture h;
  writeTwoItemFiles(h);
  h.dir.write("theta.txt", "0.5\n-0.5\n1.0\n");
  h.writeParameters(
      {"Theta_Dimension= 1", "From_Column_Format= AD", "To_Column_Format= AD",
       "Emp_Column_Format= T", "$Data_Files 1= from.txt to.txt theta.txt", "Number_Of_Grid= 7"},
      {});
  Loaded e = load(h);
  EXPECT_EQ(e.result, kLoadOk);
  EXPECT_EQ(e.s.Number_Of_Grid, 0);
  EXPECT_EQ(e.s.pointCount, 3);

  LinkingFixture k;
  writeTwoItemFiles(k);
  k.writeParameters(
      {"Theta_Dimension= 1", "Number_Of_Grid= 5", "From_Column_Format= AD", "To_Column_Format= AD"},
      {});
  EXPECT_EQ(load(k).result, kLoadFailed);
  EXPECT_EQ(k.host.messageTexts(),
            std::vector<std::string>{"Incorrect Parameter Setting, continue?"});
}

TEST(RunSettingsLoad, GridKeyAfterAnEmpiricalEntryIsDropped) {
  LinkingFixture f;
  writeTwoItemFiles(f);
  f.writeParameters({"Theta_Dimension= 1", "From_Column_Format= AD", "To_Column_Format= AD",
                     "$Data_Files 1= from.txt to.txt theta.txt", "Number_Of_Grid= 1"},
                    {});
  // Grid 1 read after the entry becomes 0, so this is an empirical run without its file.
  EXPECT_EQ(load(f).result, kLoadNoEmpiricalFile);

  LinkingFixture g;
  writeTwoItemFiles(g);
  g.writeParameters(
      {"Theta_Dimension= 1", "From_Column_Format= AD", "To_Column_Format= AD", "Number_Of_Grid= 0",
       "$Data_Files 1= from.txt to.txt theta.txt", "Number_Of_Grid= 3"},
      {});
  // The second grid key comes after the entry: it is dropped again.
  Loaded l = load(g);
  EXPECT_EQ(l.result, kLoadNoEmpiricalFile);
  EXPECT_EQ(l.s.Number_Of_Grid, 0);
  EXPECT_EQ(g.host.captions(), std::vector<std::string>{"No E data file"});
}

TEST(RunSettingsLoad, MissingDataFilesAreNamedAndCoded) {
  LinkingFixture f;
  f.writeItems("to.txt", {{2.0, 1.0}});
  f.writeParameters(gridKeys(1, 1, 5, "AD"), {"1= from.txt to.txt"});
  Loaded l = load(f);
  EXPECT_EQ(l.result, kLoadNoFromFile);
  EXPECT_EQ(l.s.conversionProblems, -3);
  ASSERT_EQ(f.host.messages.size(), 1u);
  EXPECT_EQ(f.host.messages[0].caption, "No F data file");
  EXPECT_EQ(f.host.messages[0].text, f.dir.file("from.txt"));

  LinkingFixture g;
  g.writeItems("from.txt", {{2.0, 1.0}});
  g.writeParameters(gridKeys(1, 1, 5, "AD"), {"1= from.txt to.txt"});
  EXPECT_EQ(load(g).result, kLoadNoToFile);
  EXPECT_EQ(g.host.captions(), std::vector<std::string>{"No T data file"});
}

TEST(RunSettingsLoad, EmpiricalPointsFollowThetaLettersPerDimension) {
  LinkingFixture f;
  writeTwoItemFiles(f);
  std::string theta;
  for (int i = 0; i < 100; ++i) theta += std::to_string(i * 0.01) + " 0.5\n";
  f.dir.write("theta.txt", theta + "\n\n");
  f.writeParameters({"Theta_Dimension= 2", "Number_Of_Grid= 0", "From_Column_Format= AAD",
                     "To_Column_Format= AAD", "Emp_Column_Format= tt"},
                    {"1= from.txt to.txt theta.txt"});
  Loaded l = load(f);
  ASSERT_EQ(l.result, kLoadOk);
  EXPECT_EQ(l.s.pointCount, 100);
}

TEST(RunSettingsLoad, BadNumberStopsWithFileKeyAndWord) {
  LinkingFixture f;
  writeTwoItemFiles(f);
  f.writeParameters({"Model_Type= 1", "Theta_Dimension= two"}, {"1= from.txt to.txt"});
  EXPECT_EQ(load(f).result, kLoadFailed);
  ASSERT_EQ(f.host.messages.size(), 1u);
  const std::string& text = f.host.messages[0].text;
  EXPECT_NE(text.find("run.ini"), std::string::npos) << text;
  EXPECT_NE(text.find("Theta_Dimension="), std::string::npos) << text;
  EXPECT_NE(text.find("two"), std::string::npos) << text;
}

TEST(RunSettingsLoad, MissingParameterFileSaysNoInitialFile) {
  LinkingFixture f;
  f.job.parameterFilePath = f.dir.file("absent.ini");
  EXPECT_EQ(load(f).result, kLoadFailed);
  EXPECT_EQ(f.host.messageTexts(), std::vector<std::string>{"No initial file"});
}

TEST(RunSettingsLoad, HugeGridSaturatesInsteadOfOverflowing) {
  EXPECT_EQ(gridPointCount(11, 10), 25937424601LL);
  EXPECT_EQ(gridPointCount(11, 25), INT64_MAX);
  EXPECT_EQ(gridPointCount(3, 0), 1);
}
