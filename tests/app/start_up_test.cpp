// Starting the program, with and without a file, and what the main window offers.
#include "app/start_up.h"

#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

#include "app/command_ids.h"
#include "app/command_line.h"
#include "app/command_table.h"
#include "app/gui_fixture.h"
#include "app/main_frame.h"
#include "app/profile.h"

namespace {

const QStringList kShortMenus = {"&File", "&View", "Run", "&Help"};
const QStringList kFullMenus = {"&File", "&Edit", "&View", "Run", "&Window", "&Help"};

QList<int> toolbarIds(const CMainFrame& frame) {
  QList<int> ids;
  for (QAction* action : frame.findChild<QToolBar*>()->actions()) {
    ids.append(action->isSeparator() ? 0 : commandIdOf(action));
  }
  return ids;
}

QList<int> fileMenuIds(const CMainFrame& frame) {
  QList<int> ids;
  for (QAction* action : frame.menuBar()->actions().first()->menu()->actions()) {
    if (action->isVisible()) ids.append(action->isSeparator() ? 0 : commandIdOf(action));
  }
  return ids;
}

}  // namespace

using namespace CommandId;

class StartUp : public GuiFixture {};

TEST_F(StartUp, WithoutFileShowsAnEmptyWindowWithTheShortMenus) {
  CommandLine line;
  auto frame = startUp(line, profile_.get());
  ASSERT_TRUE(frame);
  frame_.swap(frame);
  frame.reset();
  EXPECT_TRUE(frame_->mdiArea()->subWindowList().isEmpty());
  EXPECT_EQ(visibleMenus(), kShortMenus);
  EXPECT_EQ(fileMenuIds(*frame_), (QList<int>{FileNew, FileOpen, 0, NewLinkingIni, LoadLinkingIni,
                                              0, FilePrintSetup, 0, 0, 0, AppExit}));
  EXPECT_EQ(frame_->windowTitle(), "Torvak");
  EXPECT_EQ(frame_->statusText(), "Ready");
  EXPECT_EQ(toolbarIds(*frame_),
            (QList<int>{FileNew, FileOpen, FileSave, 0, EditCut, EditCopy, EditPaste, 0, FilePrint,
                        HelpContent, 0, LoadLinkingIni, RunLinking}));
  EXPECT_FALSE(action(FileSave)->isEnabled());
}

TEST_F(StartUp, WithFileOpensItAndMenusSwapWithFirstAndLastDocument) {
  const QString path = write("notes.txt", "first line\n");
  CommandLine line;
  line.documentFile = path;
  auto frame = startUp(line, profile_.get());
  ASSERT_TRUE(frame);
  frame_.swap(frame);
  frame.reset();
  frame_->show();
  EXPECT_EQ(subWindowTitles(), QStringList{"notes.txt"});
  EXPECT_EQ(visibleMenus(), kFullMenus);
  EXPECT_EQ(frame_->windowTitle(), "Torvak - notes.txt");
  EXPECT_TRUE(action(FileSave)->isEnabled());

  action(FileClose)->trigger();
  ASSERT_TRUE(waitUntil([this] { return frame_->mdiArea()->subWindowList().isEmpty(); }));
  waitUntil([this] { return visibleMenus() == kShortMenus; }, 2000);
  EXPECT_EQ(visibleMenus(), kShortMenus);
  EXPECT_EQ(frame_->windowTitle(), "Torvak");
}

TEST_F(StartUp, FileThatCannotBeOpenedEndsStartUpWithAMessage) {
  CommandLine line;
  line.documentFile = QString::fromStdString(dir_.file("missing.txt"));
  BoxAnswerer answer({"OK"});
  EXPECT_FALSE(startUp(line, profile_.get()));
  ASSERT_EQ(answer.texts().size(), 1);
  EXPECT_TRUE(answer.texts()[0].contains("missing.txt"));
}

TEST(CommandLineParse, ReadsFilesLinkAndRefusesWhatItDoesNotKnow) {
  struct Case {
    QStringList arguments;
    QString documentFile, linkFile;
    bool error;
  };
  const Case cases[] = {
      {{"torvak"}, "", "", false},
      {{"torvak", "report.txt"}, "report.txt", "", false},
      {{"torvak", "--link", "a.ini"}, "", "a.ini", false},
      {{"torvak", "--link=a.ini", "notes.txt"}, "notes.txt", "a.ini", false},
      {{"torvak", "--link"}, "", "", true},
      {{"torvak", "--frobnicate"}, "", "", true},
      {{"torvak", "a.txt", "b.txt"}, "a.txt", "", true},
  };
  for (const Case& c : cases) {
    const CommandLine line = parseCommandLine(c.arguments);
    SCOPED_TRACE(c.arguments.join(' ').toStdString());
    EXPECT_EQ(line.documentFile, c.documentFile);
    EXPECT_EQ(line.linkFile, c.linkFile);
    EXPECT_EQ(!line.error.isEmpty(), c.error);
  }
}

TEST_F(StartUp, CommandsCarryTheirIdsPromptsAndKeys) {
  EXPECT_EQ(action(NewLinkingIni)->statusTip(), "Open NEW linking parameter initial file");
  EXPECT_EQ(action(NewLinkingIni)->toolTip(), "New ini file");
  EXPECT_EQ(action(LoadLinkingIni)->toolTip(), "Load ini file");
  EXPECT_EQ(action(RunLinking)->statusTip(), "Run torvak");
  EXPECT_EQ(action(RunLinking)->toolTip(), "Linking");
  EXPECT_EQ(action(EditUndo)->shortcuts(),
            (QList<QKeySequence>{QKeySequence("Ctrl+Z"), QKeySequence("Alt+Backspace")}));
  EXPECT_EQ(action(EditPaste)->shortcuts(),
            (QList<QKeySequence>{QKeySequence("Ctrl+V"), QKeySequence("Shift+Ins")}));
  EXPECT_EQ(action(NextPane)->shortcut(), QKeySequence("F6"));
}
