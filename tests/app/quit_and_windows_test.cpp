// Quitting with changed documents asks every question before anything closes; new windows
// open at a readable size; the Window menu lists the open windows.
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTextDocument>

#include "app/gui_fixture.h"
#include "app/main_frame.h"
#include "app/pellan1_doc.h"
#include "app/pellan1_view.h"

namespace {

QMenu* windowMenu(CMainFrame* frame) {
  for (QAction* action : frame->menuBar()->actions()) {
    if (action->text() == "&Window") return action->menu();
  }
  return nullptr;
}

// The Window menu's entries after its four commands, as they read when the menu opens.
QStringList windowEntries(CMainFrame* frame) {
  QMenu* menu = windowMenu(frame);
  emit menu->aboutToShow();
  QStringList entries;
  const QList<QAction*> actions = menu->actions();
  for (int i = 4; i < actions.size(); ++i) {
    if (actions[i]->isSeparator()) continue;
    entries.append((actions[i]->isChecked() ? "* " : "") + actions[i]->text());
  }
  return entries;
}

}  // namespace

class QuitAndWindows : public GuiFixture {
 protected:
  // Three changed documents, each with its own text.
  QList<CPellan1View*> threeChangedDocuments() {
    QList<CPellan1View*> views;
    for (int i = 1; i <= 3; ++i) {
      CPellan1View* view = frame_->fileNew();
      view->insertPlainText(QString("text %1").arg(i));
      views.append(view);
    }
    return views;
  }
};

TEST_F(QuitAndWindows, ACancelledQuitKeepsEveryWindowAndItsText) {
  const QList<CPellan1View*> views = threeChangedDocuments();
  {
    BoxAnswerer answers({"&No", "Cancel", "&No"});
    EXPECT_FALSE(frame_->close());
    EXPECT_EQ(answers.texts().size(), 2) << "the quit ends at the Cancel";
  }
  ASSERT_EQ(frame_->documents().size(), 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(frame_->documents()[i]->textDocument()->toPlainText(), QString("text %1").arg(i + 1));
    EXPECT_TRUE(frame_->documents()[i]->isModified());
  }
  BoxAnswerer answers({"&No", "&No", "&No"});
  EXPECT_TRUE(frame_->close());
  EXPECT_EQ(answers.texts().size(), 3);
  EXPECT_TRUE(frame_->mdiArea()->subWindowList().isEmpty());
}

TEST_F(QuitAndWindows, NewWindowsOpenWideEnoughForAReport) {
  CPellan1View* view = frame_->fileNew();
  const QWidget* window = view->parentWidget();
  const QSize area = frame_->mdiArea()->viewport()->size();
  const int columns = view->viewport()->width() / view->fontMetrics().horizontalAdvance('x');
  EXPECT_TRUE(columns >= 90 || window->width() == area.width())
      << columns << " columns in " << window->width() << " px of " << area.width();
  EXPECT_GE(window->height(), std::min(area.height(), 300));
}

TEST_F(QuitAndWindows, WindowMenuListsTheOpenWindowsAndActivatesTheChosenOne) {
  frame_->openOutputView("/data/run.ini");
  frame_->fileNew();  // a new document takes the latest output window's title
  EXPECT_EQ(windowEntries(frame_.get()),
            (QStringList{"&1 Linking output from: /data/run.ini",
                         "* &2 Linking output from: /data/run.ini"}));
  frame_->fileNew();
  QMenu* menu = windowMenu(frame_.get());
  emit menu->aboutToShow();
  const QList<QAction*> actions = menu->actions();
  actions[5]->trigger();  // the first window
  EXPECT_EQ(frame_->mdiArea()->activeSubWindow(), frame_->mdiArea()->subWindowList().first());
  EXPECT_EQ(windowEntries(frame_.get()).size(), 3) << "rebuilt, not appended to";
}
