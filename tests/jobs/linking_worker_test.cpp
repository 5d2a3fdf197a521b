#include "jobs/linking_worker.h"

#include <gtest/gtest.h>

#include <thread>

#include "support/linking_fixture.h"

namespace {}  // namespace

TEST(PreScan, LastModelTypeWinsAndEveryEntryCounts) {
  LinkingFixture f;
  f.writeParameters({"model_type= 3", "MODEL_TYPE= 4", "Model_Type=1"},
                    {"1= a b", "1= a b", "7= c d"});
  const PreScan scan = preScanParameterFile(f.job.parameterFilePath);
  EXPECT_TRUE(scan.opened);
  EXPECT_EQ(scan.modelType, 4);  // "Model_Type=1" is one token, not the key
  EXPECT_EQ(scan.pairCount, 3);
}

TEST(PreScan, NonNumericModelIsAnErrorNamingTheWord) {
  LinkingFixture f;
  f.writeParameters({"Model_Type= three"}, {});
  const PreScan scan = preScanParameterFile(f.job.parameterFilePath);
  EXPECT_NE(scan.error.find("three"), std::string::npos) << scan.error;
}

TEST(LinkingWorker, ModelOneRunAnnouncesDoneAndFillsTheResultArea) {
  LinkingFixture f;
  f.writeWorkedExample();
  f.writeParameters(gridKeys(1, 1, 11, "AD"), {"1= from.txt to.txt"});
  std::vector<double>& area = f.job.resultArea;
  EXPECT_EQ(LinkingThreadProc(&f.job), 0);
  EXPECT_EQ(f.host.statusTexts,
            std::vector<std::string>{"Linking Done: " + f.job.parameterFilePath});
  EXPECT_EQ(f.host.beeps, 1);
  EXPECT_EQ(f.host.donePosts, 1);
  EXPECT_TRUE(f.job.doneEvent.poll());
  ASSERT_EQ(area.size(), 3u);
  EXPECT_DOUBLE_EQ(area[0], 0.0);
  EXPECT_DOUBLE_EQ(area[1], 0.5);
  EXPECT_NE(f.host.report.find("0.500000 -0.500000"), std::string::npos);
}

TEST(LinkingWorker, UnknownOrMissingModelLinksNothingAndSucceeds) {
  for (const std::string model : {"Model_Type= 2", "Weighing_Method= 0"}) {
    LinkingFixture f;
    f.writeWorkedExample();
    f.writeParameters({model}, {"1= from.txt to.txt"});
    std::vector<double>& area = f.job.resultArea;
    EXPECT_EQ(LinkingThreadProc(&f.job), 0);
    EXPECT_EQ(f.host.statusTexts[0], "Linking Done: " + f.job.parameterFilePath);
    EXPECT_TRUE(area.empty());
    EXPECT_TRUE(f.host.report.empty());
  }
}

TEST(LinkingWorker, StoppedRunShowsItsCode) {
  LinkingFixture f;
  f.writeWorkedExample();
  f.writeParameters(gridKeys(1, 1, 11, "AD"), {"1= from.txt to.txt"});
  f.job.stopEvent.set();
  std::vector<double>& area = f.job.resultArea;
  EXPECT_EQ(LinkingThreadProc(&f.job), 8);
  EXPECT_EQ(f.host.statusTexts[0], "Error: (8) in Linking: " + f.job.parameterFilePath);
  EXPECT_DOUBLE_EQ(area[0], -1.111111);
}

TEST(LinkingWorker, MissingParameterFileAnnouncesNothing) {
  LinkingFixture f;
  f.job.parameterFilePath = f.dir.file("nowhere.ini");
  EXPECT_EQ(LinkingThreadProc(&f.job), 1);
  ASSERT_EQ(f.host.messages.size(), 1u);
  EXPECT_EQ(f.host.messages[0].caption, "Can't open initial file");
  EXPECT_EQ(f.host.messages[0].text, f.job.parameterFilePath);
  EXPECT_TRUE(f.host.statusTexts.empty());
  EXPECT_EQ(f.host.donePosts, 0);
  EXPECT_FALSE(f.job.doneEvent.poll());
}

TEST(LinkingWorker, DispatchesModelsThreeAndFour) {
  for (int model : {3, 4}) {
    LinkingFixture f;
    f.writeItems("items.txt", {{1.0, 0.0, 0.2}, {1.4, -0.5, 0.1}, {0.8, 0.7, 0.0}});
    f.writeParameters(gridKeys(model, 1, 9, "ADC"), {"1= items.txt items.txt"});
    std::vector<double>& area = f.job.resultArea;
    EXPECT_EQ(LinkingThreadProc(&f.job), 0) << model;
    ASSERT_EQ(area.size(), 3u);
    EXPECT_NEAR(area[1], 1.0, 1e-12);
    EXPECT_NEAR(area[2], 0.0, 1e-12);
    EXPECT_NE(f.host.report.find(",M:" + std::to_string(model)), std::string::npos);
  }
}

TEST(LinkingWorker, RunsOnItsOwnThreadAndSetsDoneLast) {
  LinkingFixture f;
  f.writeWorkedExample();
  f.writeParameters(gridKeys(1, 1, 11, "AD"), {"1= from.txt to.txt", "2= from.txt to.txt"});
  int status = -1;
  std::thread worker([&] { status = LinkingThreadProc(&f.job); });
  worker.join();
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(f.job.doneEvent.poll());
  EXPECT_FALSE(f.job.doneEvent.poll());  // automatic reset
}
