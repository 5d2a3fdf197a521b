#include "app/gui_fixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>

#include "app/main_frame.h"
#include "app/pellan1_doc.h"
#include "app/pellan1_view.h"
#include "app/profile.h"

bool waitUntil(const std::function<bool()>& done, int timeoutMs) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < timeoutMs) {
    QApplication::processEvents(QEventLoop::AllEvents, 20);
    // Outside exec() windows closed with deleteLater would otherwise never go.
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  return done();
}

BoxAnswerer::BoxAnswerer(QStringList answers) : answers_(std::move(answers)) {
  QObject::connect(&timer_, &QTimer::timeout, [this] { answerActiveBox(); });
  timer_.start(10);
}

BoxAnswerer::~BoxAnswerer() { timer_.stop(); }

void BoxAnswerer::answerActiveBox() {
  auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
  if (box == nullptr || !box->isVisible() || answers_.isEmpty()) return;
  for (QAbstractButton* button : box->buttons()) {
    if (button->text() == answers_.first()) {
      texts_.append(box->text());
      answers_.removeFirst();
      button->click();
      return;
    }
  }
}

void GuiFixture::SetUp() {
  profile_ = std::make_unique<Profile>(QString::fromStdString(dir_.file("config/torvak.ini")));
  frame_ = std::make_unique<CMainFrame>(profile_.get());
  frame_->show();
}

void GuiFixture::TearDown() {
  // Runs still working are stopped and waited for, so nothing outlives the window.
  if (frame_) {
    waitUntil([this] { return frame_->activeRunCount() == 0; });
    for (CPellan1Doc* document : frame_->documents()) document->setModified(false);
    frame_->close();
  }
  frame_.reset();
  QApplication::processEvents();
}

QString GuiFixture::example(const QString& name) const {
  const QDir examples(TORVAK_SOURCE_DIR "/examples");
  for (const QString& file : examples.entryList({"*.dat", name + ".ini"}, QDir::Files)) {
    QFile::copy(examples.filePath(file), QString::fromStdString(dir_.file(file.toStdString())));
  }
  return QString::fromStdString(dir_.file((name + ".ini").toStdString()));
}

QString GuiFixture::expectedOutput(const QString& name) const {
  QFile file(TORVAK_SOURCE_DIR "/examples/expected/" + name + ".txt");
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
  return QString::fromUtf8(file.readAll());
}

QString GuiFixture::write(const QString& name, const QByteArray& bytes) const {
  return QString::fromStdString(dir_.write(name.toStdString(), bytes.toStdString()));
}

QAction* GuiFixture::action(int id) const { return frame_->commandAction(id); }

QStringList GuiFixture::visibleMenus() const {
  QStringList titles;
  for (QAction* menu : frame_->menuBar()->actions()) {
    if (menu->isVisible()) titles.append(menu->text());
  }
  return titles;
}

QStringList GuiFixture::subWindowTitles() const {
  QStringList titles;
  for (QMdiSubWindow* window : frame_->mdiArea()->subWindowList())
    titles.append(window->windowTitle());
  return titles;
}

CPellan1View* GuiFixture::outputView(const QString& path) const {
  for (QMdiSubWindow* window : frame_->mdiArea()->subWindowList()) {
    if (window->windowTitle() == "Linking output from: " + path) {
      return qobject_cast<CPellan1View*>(window->widget());
    }
  }
  return nullptr;
}

QString readText(const QString& path) {
  QFile file(path);
  file.open(QIODevice::ReadOnly);
  return QString::fromUtf8(file.readAll());
}
