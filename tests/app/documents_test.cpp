// Text documents: open, edit and save without changing a byte that was not edited; windows
// sharing one text; the save prompt; titles of new documents; the recent-file list.
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>

#include "app/child_frame.h"
#include "app/command_ids.h"
#include "app/gui_fixture.h"
#include "app/main_frame.h"
#include "app/pellan1_doc.h"
#include "app/pellan1_view.h"
#include "app/profile.h"

using namespace CommandId;

namespace {

QByteArray readBytes(const QString& path) {
  QFile file(path);
  file.open(QIODevice::ReadOnly);
  return file.readAll();
}

void typeAtStart(CPellan1View* view, const QString& text) {
  QTextCursor cursor = view->textCursor();
  cursor.movePosition(QTextCursor::Start);
  view->setTextCursor(cursor);
  view->insertPlainText(text);
}

}  // namespace

class Documents : public GuiFixture {};

TEST_F(Documents, OpenEditSaveKeepsEveryByteThatWasNotEdited) {
  struct Case {
    const char* name;
    QByteArray bytes;
    bool editKeepsRest;  // an edit at the start leaves the rest byte for byte
  };
  const Case cases[] = {
      {"lf", "Model_Type= 1\nTheta_Dimension= 2\n", true},
      {"crlf", "Model_Type= 1\r\nTheta_Dimension= 2\r\n", true},
      {"no final line end", "a\r\nb", true},
      {"latin1", "caf\xE9 na\xEFve\n", true},
      {"utf8 with mark", "\xEF\xBB\xBFsch\xC3\xB6n\n", true},
      {"no-break space and tab",
       "a\xC2\xA0"
       "b\tc  \n",
       true},
      {"mixed line ends", "a\r\nb\nc\rd\n", false},
      {"empty", "", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const QString path = write(QString("doc-%1.txt").arg(c.name).replace(' ', '_'), c.bytes);
    CPellan1View* view = frame_->openDocumentFile(path);
    ASSERT_NE(view, nullptr);
    action(FileSave)->trigger();
    EXPECT_EQ(readBytes(path), c.bytes);

    typeAtStart(view, "x");
    EXPECT_TRUE(view->doc()->isModified());
    action(FileSave)->trigger();
    EXPECT_FALSE(view->doc()->isModified());
    if (c.editKeepsRest) {
      const QByteArray saved = readBytes(path);
      const bool bom = c.bytes.startsWith("\xEF\xBB\xBF");
      EXPECT_EQ(saved, bom ? QByteArray(c.bytes).insert(3, 'x') : "x" + c.bytes);
    }
    action(FileClose)->trigger();
    ASSERT_TRUE(waitUntil([this] { return frame_->mdiArea()->subWindowList().isEmpty(); }));
  }
}

TEST_F(Documents, WindowsOfOneDocumentShareItsText) {
  const QString path = write("shared.txt", "one\n");
  CPellan1View* first = frame_->openDocumentFile(path);
  action(WindowNew)->trigger();
  CPellan1View* second = frame_->activeView();
  ASSERT_NE(first, second);
  EXPECT_EQ(subWindowTitles(), (QStringList{"shared.txt:1", "shared.txt:2"}));
  typeAtStart(second, "zero ");
  EXPECT_EQ(first->toPlainText(), "zero one\n");

  // Closing one of two windows asks nothing and keeps the edit.
  qobject_cast<QMdiSubWindow*>(second->parentWidget())->close();
  waitUntil([this] { return subWindowTitles() == QStringList{"shared.txt"}; }, 1000);
  ASSERT_EQ(subWindowTitles(), QStringList{"shared.txt"});
  EXPECT_EQ(first->toPlainText(), "zero one\n");
  action(FileSave)->trigger();
  EXPECT_EQ(readBytes(path), "zero one\n");
}

TEST_F(Documents, ClosingAChangedDocumentAsksToSave) {
  const QString path = write("changed.txt", "text\n");
  CPellan1View* view = frame_->openDocumentFile(path);
  typeAtStart(view, "more ");
  auto* window = qobject_cast<QMdiSubWindow*>(view->parentWidget());
  {
    BoxAnswerer answer({"Cancel"});
    EXPECT_FALSE(window->close());
    ASSERT_EQ(answer.texts().size(), 1);
    EXPECT_EQ(answer.texts()[0], "Save changes to " + path + "?");
  }
  EXPECT_EQ(frame_->mdiArea()->subWindowList().size(), 1);
  {
    BoxAnswerer answer({"&Yes"});
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(answer.allAnswered());
  }
  EXPECT_EQ(readBytes(path), "more text\n");
}

TEST_F(Documents, NewDocumentsTakeTheTitleOfTheLatestOutputWindow) {
  EXPECT_EQ(frame_->fileNew()->doc()->title(), "");
  frame_->openOutputView("/data/run.ini");
  EXPECT_EQ(frame_->fileNew()->doc()->title(), "Linking output from: /data/run.ini");
}

TEST_F(Documents, LongLinesWrapWithoutAHorizontalScrollBar) {
  CPellan1View* view = frame_->fileNew();
  view->setPlainText(QString(2000, 'w'));
  EXPECT_EQ(view->lineWrapMode(), QPlainTextEdit::WidgetWidth);
  EXPECT_EQ(view->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
  EXPECT_GT(view->document()->firstBlock().layout()->lineCount(), 1);
}

TEST_F(Documents, RecentListKeepsTheSixLatestInTheProfile) {
  QStringList paths;
  for (int i = 1; i <= 8; ++i) paths.append(write(QString("file%1.txt").arg(i), "x\n"));
  for (const QString& path : paths) frame_->openDocumentFile(path);
  // Opened again while open: its window is activated and the list stays as it was.
  CPellan1View* fourth = frame_->openDocumentFile(paths[3]);
  EXPECT_EQ(frame_->activeView(), fourth);
  EXPECT_EQ(profile_->recentFiles(),
            (QStringList{paths[7], paths[6], paths[5], paths[4], paths[3], paths[2]}));
  // Opened again after its window closed: it moves to the top.
  fourth->parentWidget()->close();
  ASSERT_TRUE(waitUntil([&] { return frame_->documents().size() == 7; }));
  frame_->openDocumentFile(paths[3]);

  const QStringList expected = {paths[3], paths[7], paths[6], paths[5], paths[4], paths[2]};
  EXPECT_EQ(profile_->recentFiles(), expected);
  Profile reread(profile_->path());
  reread.load();
  EXPECT_EQ(reread.recentFiles(), expected);
  const QByteArray text = readBytes(profile_->path());
  EXPECT_TRUE(text.startsWith("[Recent File List]\nFile1=" + paths[3].toUtf8() + "\n"));
  EXPECT_TRUE(text.contains("[Settings]\nPreviewPages=1\nThreads=0\n"));
  EXPECT_EQ(action(FileMruFirst)->text(), "&1 " + paths[3]);
  EXPECT_FALSE(action(FileMruFirst + 6)) << "only six entries";
}

TEST(ProfileFile, ReadsHandWrittenSectionsInAnyCase) {
  TempDir dir;
  const std::string path =
      dir.write("torvak.ini",
                "[recent file list]\r\nFile2=/b,c\\d.txt\nFile1 = /a.txt\nFile9=/x\n"
                "[SETTINGS]\nPreviewPages=2\nthreads = 3\n");
  Profile profile(QString::fromStdString(path));
  profile.load();
  EXPECT_EQ(profile.recentFiles(), (QStringList{"/a.txt", "/b,c\\d.txt"}));
  EXPECT_EQ(profile.previewPages(), 2);
  EXPECT_EQ(profile.threads(), 3);
  for (const char* wrong : {"-1", "100000", "two"}) {
    Profile other(QString::fromStdString(
        dir.write("other.ini", std::string("[Settings]\nThreads=") + wrong + "\n")));
    other.load();
    EXPECT_EQ(other.threads(), 0) << wrong;
  }
}
