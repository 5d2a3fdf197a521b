// Help > Content and Help > Search over the shipped user guide.
#include <QLineEdit>
#include <QListWidget>
#include <QTextBrowser>

#include "app/command_ids.h"
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
        Case{"on-problem", "command_line.html"}}) {
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
