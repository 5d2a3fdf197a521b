// Help > Content and Help > Search over the shipped user guide, and the guide's pages themselves.
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QSet>
#include <QTextBrowser>
#include <algorithm>

#include "app/command_ids.h"
#include "app/command_line.h"
#include "app/gui_fixture.h"
#include "app/help_index.h"
#include "app/help_window.h"

using namespace CommandId;

TEST(HelpIndexSearch, FindsPagesHoldingEveryWordKeywordPagesFirst) {
  const HelpIndex index(HelpWindow::kPagesFolder);
  ASSERT_GE(index.contents().size(), 8);
  EXPECT_EQ(index.contents().first().fileName, "index.html");
  for (const HelpPage& page : index.contents()) {
    EXPECT_FALSE(page.text.isEmpty()) << page.fileName.toStdString();
    EXPECT_NE(page.title, page.fileName) << "every page has a title";
  }
  struct Case {
    const char* query;
    const char* first;
  };
  for (const Case& c :
       {Case{"row skip", "data_files.html"}, Case{"STOP", "starting_a_run.html"},
        Case{"Number_Of_Grid", "parameter_file.html"}, Case{"newton-raphson", "models.html"},
        Case{"on-problem", "command_line.html"}, Case{"--edit", "command_line.html"},
        Case{"Other_File_1", "parameter_file.html"}, Case{"Weighing_Method", "parameter_file.html"},
        Case{"Records and lines differ", "data_files.html"}}) {
    const QStringList found = index.search(c.query);
    ASSERT_FALSE(found.isEmpty()) << c.query;
    EXPECT_EQ(found.first(), c.first) << c.query;
  }
  EXPECT_TRUE(index.search("zebra quantum").isEmpty());
  EXPECT_TRUE(index.search("").isEmpty());
}

class Help : public GuiFixture {};

TEST_F(Help, ContentShowsTheGuideAndSearchListsMatchingPages) {
  action(HelpContent)->trigger();
  HelpWindow* help = frame_->helpWindow();
  EXPECT_TRUE(help->isVisible());
  EXPECT_TRUE(help->browser()->toPlainText().contains("Torvak user guide"));

  action(HelpSearch)->trigger();
  EXPECT_TRUE(help->searchField()->text().isEmpty());
  help->searchField()->setText("row-skip");
  ASSERT_GT(help->searchResults()->count(), 0);
  EXPECT_EQ(help->searchResults()->item(0)->text(), "Item files and theta files");
  EXPECT_TRUE(help->browser()->toPlainText().contains("{3S2R1}"));
}

TEST_F(Help, ComposingARunHasItsPageInTheGuide) {
  HelpWindow* help = frame_->findChild<HelpWindow*>();
  if (help == nullptr) {
    action(HelpSearch)->trigger();
    help = frame_->findChild<HelpWindow*>();
  }
  ASSERT_NE(help, nullptr);
  help->searchField()->setText("Linking Parameters dialog");
  ASSERT_GT(help->searchResults()->count(), 0);
  EXPECT_EQ(help->searchResults()->item(0)->text(), "Composing a run");
}

TEST(HelpPages, EveryPageIsBuiltInListedAndEveryLinkLeadsToOne) {
  const QDir sources(TORVAK_SOURCE_DIR "/resources/help");
  const QStringList onDisk = sources.entryList({"*.html"}, QDir::Files, QDir::Name);
  const QStringList builtIn =
      QDir(HelpWindow::kPagesFolder).entryList({"*.html"}, QDir::Files, QDir::Name);
  EXPECT_EQ(builtIn, onDisk) << "help.qrc and the folder differ";
  const HelpIndex index(HelpWindow::kPagesFolder);
  QStringList listed;
  for (const HelpPage& page : index.contents()) {
    listed.append(page.fileName);
  }
  EXPECT_EQ(QSet<QString>(listed.begin(), listed.end()),
            QSet<QString>(onDisk.begin(), onDisk.end()))
      << "index.txt and the folder differ";

  const QRegularExpression link("href=\"([^\"#]+)");
  for (const QString& name : onDisk) {
    QFile file(sources.filePath(name));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
    const QString html = QString::fromUtf8(file.readAll());
    for (const auto& match : link.globalMatch(html)) {
      const QString target = match.captured(1);
      EXPECT_TRUE(target == "style.css" || onDisk.contains(target))
          << name.toStdString() << " links to " << target.toStdString();
    }
  }
}

// The page called the criteria of Models 3 and 4 a weighted mean; the sum is divided by the
// number of values, so weighted and unweighted criteria are not comparable.
TEST(HelpPages, ModelCriteriaAreNotCalledAWeightedMean) {
  const HelpIndex index(HelpWindow::kPagesFolder);
  for (const HelpPage& page : index.contents()) {
    EXPECT_FALSE(page.text.contains("weighted mean of")) << page.fileName.toStdString();
  }
  const auto models =
      std::find_if(index.contents().begin(), index.contents().end(),
                   [](const HelpPage& page) { return page.fileName == "models.html"; });
  ASSERT_NE(models, index.contents().end());
  for (const char* phrase :
       {"divided by n", "divided by n j", "not a weighted mean", "not comparable"}) {
    EXPECT_TRUE(models->text.contains(phrase)) << phrase;
  }
}

// The guide describes every option of the desktop's own --help.
TEST(HelpPages, CommandLinePageNamesEveryDesktopOption) {
  const HelpIndex index(HelpWindow::kPagesFolder);
  const auto page =
      std::find_if(index.contents().begin(), index.contents().end(),
                   [](const HelpPage& p) { return p.fileName == "command_line.html"; });
  ASSERT_NE(page, index.contents().end());
  const QRegularExpression option("^\\s+(-[-\\w]+)", QRegularExpression::MultilineOption);
  int options = 0;
  for (const auto& match : option.globalMatch(commandLineHelp())) {
    ++options;
    EXPECT_TRUE(page->text.contains(match.captured(1))) << match.captured(1).toStdString();
  }
  EXPECT_GE(options, 4);
}
