// Starting the program: its command line, with and without a file, --edit, what the main
// window offers, and the desktop file and MIME type through which a file manager starts it.
#include "app/start_up.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QMap>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QStatusBar>
#include <QToolBar>
#include <QXmlStreamReader>
#include <algorithm>
#include <functional>
#include <vector>

#include "app/command_ids.h"
#include "app/command_line.h"
#include "app/command_table.h"
#include "app/gui_fixture.h"
#include "app/main_frame.h"
#include "app/profile.h"
#include "dialogs/linking_parameters_dialog.h"
#include "dialogs/linking_parameters_ids.h"
#include "params/parameter_file.h"
#include "support/temp_dir.h"

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

QByteArray sourceFile(const QString& relative) {
  QFile file(TORVAK_SOURCE_DIR "/" + relative);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << relative.toStdString();
  return file.readAll();
}

// The groups of a desktop file: group name, then key, then value.
QMap<QString, QMap<QString, QString>> desktopGroups(const QByteArray& text) {
  QMap<QString, QMap<QString, QString>> groups;
  QString group;
  for (const QString& line : QString::fromUtf8(text).split('\n')) {
    if (line.startsWith('[') && line.endsWith(']')) {
      group = line.mid(1, line.size() - 2);
    } else if (const int equals = line.indexOf('='); equals > 0 && !line.startsWith('#')) {
      groups[group][line.left(equals)] = line.mid(equals + 1);
    }
  }
  return groups;
}

// An Exec line as the command line the program gets, with %f standing for file.
CommandLine parseExec(const QString& exec, const QString& file) {
  QStringList words = exec.split(' ', Qt::SkipEmptyParts);
  words.replaceInStrings("%f", file);
  return parseCommandLine(words);
}

// A string rule of a shared MIME database magic block: the value starts at some offset from
// first to last, and a rule with children holds only when one of them holds too.
struct MagicRule {
  QByteArray value;
  qsizetype first = 0;
  qsizetype last = 0;
  std::vector<MagicRule> children;

  bool holds(const QByteArray& data) const {
    const qsizetype at = data.indexOf(value, first);
    if (at < 0 || at > last) return false;
    return children.empty() || std::any_of(children.begin(), children.end(),
                                           [&](const MagicRule& r) { return r.holds(data); });
  }
};

struct MimeDeclaration {
  QStringList types;
  QStringList globs;
  std::vector<MagicRule> magic;  // any one of them recognises a file
  QString error;                 // a rule this reader does not understand, or bad XML
};

MimeDeclaration readMimeDeclaration(const QByteArray& xml) {
  MimeDeclaration declaration;
  std::vector<MagicRule> open;
  QXmlStreamReader reader(xml);
  while (!reader.atEnd() && declaration.error.isEmpty()) {
    reader.readNext();
    const QXmlStreamAttributes attributes = reader.attributes();
    if (reader.isStartElement() && reader.name() == u"mime-type") {
      declaration.types.append(attributes.value("type").toString());
    } else if (reader.isStartElement() && reader.name() == u"glob") {
      declaration.globs.append(attributes.value("pattern").toString());
    } else if (reader.isStartElement() && reader.name() == u"match") {
      MagicRule rule;
      rule.value = attributes.value("value").toUtf8();
      const QStringList offsets = attributes.value("offset").toString().split(':');
      rule.first = offsets.first().toLongLong();
      rule.last = offsets.last().toLongLong();
      if (attributes.value("type") != u"string" || rule.value.contains('\\') ||
          attributes.hasAttribute("mask")) {
        declaration.error = "a match this test cannot evaluate: " + rule.value;
      }
      open.push_back(std::move(rule));
    } else if (reader.isEndElement() && reader.name() == u"match") {
      MagicRule rule = std::move(open.back());
      open.pop_back();
      (open.empty() ? declaration.magic : open.back().children).push_back(std::move(rule));
    }
  }
  if (reader.hasError()) declaration.error = reader.errorString();
  return declaration;
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
    QString documentFile, linkFile, editFile;
    QString error;  // a part of the message; empty when the line is right
  };
  const Case cases[] = {
      {{"torvak"}, "", "", "", ""},
      {{"torvak", "report.txt"}, "report.txt", "", "", ""},
      {{"torvak", "--link", "a.ini"}, "", "a.ini", "", ""},
      {{"torvak", "--link=a.ini", "notes.txt"}, "notes.txt", "a.ini", "", ""},
      {{"torvak", "--link"}, "", "", "", "--link needs a parameter file"},
      {{"torvak", "--frobnicate"}, "", "", "", "unknown option --frobnicate"},
      {{"torvak", "a.txt", "b.txt"}, "a.txt", "", "", "only one file"},
      {{"torvak", "--edit", "a.ini"}, "", "", "a.ini", ""},
      {{"torvak", "--edit=dir/a b.ini", "notes.txt"}, "notes.txt", "", "dir/a b.ini", ""},
      {{"torvak", "notes.txt", "--edit", "a.ini"}, "notes.txt", "", "a.ini", ""},
      {{"torvak", "--edit"}, "", "", "", "--edit needs a parameter file"},
      {{"torvak", "--edit="}, "", "", "", "--edit needs a parameter file"},
      {{"torvak", "--edit", ""}, "", "", "", "--edit needs a parameter file"},
      {{"torvak", "--edit", "a.ini", "--edit", "b.ini"}, "", "", "a.ini", "only once"},
      {{"torvak", "--link", "a.ini", "--link=b.ini"}, "", "a.ini", "", "only once"},
      {{"torvak", "--edit", "a.ini", "--link", "a.ini"}, "", "a.ini", "a.ini", "together"},
      {{"torvak", "--link=a.ini", "--edit=b.ini"}, "", "a.ini", "b.ini", "together"},
      {{"torvak", "--editor", "a.ini"}, "", "", "", "unknown option --editor"},
  };
  for (const Case& c : cases) {
    const CommandLine line = parseCommandLine(c.arguments);
    SCOPED_TRACE(c.arguments.join(' ').toStdString());
    EXPECT_EQ(line.documentFile, c.documentFile);
    EXPECT_EQ(line.linkFile, c.linkFile);
    EXPECT_EQ(line.editFile, c.editFile);
    if (c.error.isEmpty()) {
      EXPECT_EQ(line.error, "");
    } else {
      EXPECT_TRUE(line.error.contains(c.error)) << line.error.toStdString();
    }
  }
}

// Help and version are answered before the toolkit starts: no display is needed (over ssh).
TEST(DesktopProgram, HelpAndVersionWorkWithoutADisplay) {
  for (const char* option : {"--help", "--version"}) {
    QProcess torvak;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(name);
    torvak.setProcessEnvironment(env);
    torvak.start(TORVAK_DESKTOP_EXE, {option});
    ASSERT_TRUE(torvak.waitForFinished(30000)) << option;
    EXPECT_EQ(torvak.exitStatus(), QProcess::NormalExit) << option;
    EXPECT_EQ(torvak.exitCode(), 0) << option;
    EXPECT_TRUE(torvak.readAllStandardOutput().startsWith(
        QByteArray(option) == "--help" ? "Usage: torvak" : "torvak "))
        << option;
  }
}

TEST_F(StartUp, EditOpensTheFileInTheLinkingParametersDialog) {
  const QString path = example("m1_2d");
  CommandLine line;
  // A relative name is taken from the current folder, as a file manager passes it.
  line.editFile = QDir::current().relativeFilePath(path);
  auto frame = startUp(line, profile_.get());
  ASSERT_TRUE(frame);
  frame_.swap(frame);
  frame.reset();
  const auto dialogs = frame_->findChildren<LinkingParametersDialog*>();
  ASSERT_EQ(dialogs.size(), 1);
  LinkingParametersDialog* dialog = dialogs.first();
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_TRUE(dialog->windowTitle().endsWith(path)) << dialog->windowTitle().toStdString();
  const auto id = [](int control) { return QString("ID_%1").arg(control); };
  EXPECT_EQ(dialog->findChild<QComboBox*>(id(ParametersControl::Dimension))->currentText(), "2");
  auto* pairs = dialog->findChild<QListWidget*>(id(ParametersControl::PairList));
  ASSERT_EQ(pairs->count(), 2);
  EXPECT_TRUE(pairs->item(0)->text().contains("m1_2d_from1.dat"));
  EXPECT_TRUE(pairs->item(1)->text().contains("m1_2d_to2.dat"));
  EXPECT_TRUE(frame_->mdiArea()->subWindowList().isEmpty()) << "no run, no text window";
  EXPECT_EQ(frame_->activeRunCount(), 0);
}

TEST_F(StartUp, EditOfAMissingFileSaysSoAndKeepsTheWindow) {
  const QString path = QString::fromStdString(dir_.file("missing.ini"));
  CommandLine line;
  line.editFile = path;
  BoxAnswerer answer({"OK"});
  auto frame = startUp(line, profile_.get());
  ASSERT_TRUE(frame) << "the program goes on with its window";
  frame_.swap(frame);
  frame.reset();
  EXPECT_EQ(answer.texts(), QStringList{path}) << "the box titled Can't open initial file";
  const auto dialogs = frame_->findChildren<LinkingParametersDialog*>();
  ASSERT_EQ(dialogs.size(), 1);
  EXPECT_TRUE(dialogs.first()->windowTitle().endsWith(path));
  EXPECT_FALSE(QFile::exists(path)) << "nothing is written until the user saves";
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

TEST(DesktopFile, OffersTheParameterTypeToEditAndItsLinkActionToRun) {
  const MimeDeclaration mime = readMimeDeclaration(sourceFile("resources/torvak-parameters.xml"));
  ASSERT_EQ(mime.error, "");
  const auto groups = desktopGroups(sourceFile("resources/torvak.desktop"));
  const auto entry = groups.value("Desktop Entry");
  EXPECT_EQ(entry.value("MimeType").split(';', Qt::SkipEmptyParts), mime.types);
  EXPECT_EQ(mime.types, QStringList{"application/x-torvak-parameters"});

  const CommandLine open = parseExec(entry.value("Exec"), "run.ini");
  EXPECT_EQ(open.error, "");
  EXPECT_EQ(open.editFile, "run.ini") << "opening a parameter file shows it in the dialog";
  EXPECT_EQ(open.linkFile, "");

  const QStringList actions = entry.value("Actions").split(';', Qt::SkipEmptyParts);
  EXPECT_TRUE(actions.contains("link"));
  for (const QString& name : actions) {
    SCOPED_TRACE(name.toStdString());
    const auto action = groups.value("Desktop Action " + name);
    EXPECT_FALSE(action.value("Name").isEmpty());
    const CommandLine line = parseExec(action.value("Exec"), "run.ini");
    EXPECT_EQ(line.error, "");
    if (name == "link") {
      EXPECT_EQ(line.linkFile, "run.ini");
    }
  }
  EXPECT_EQ(groups.value("Desktop Action link").value("Name"), "Link");
}

TEST(DesktopFile, ParameterTypeIsRecognisedByContentNotByName) {
  const MimeDeclaration mime = readMimeDeclaration(sourceFile("resources/torvak-parameters.xml"));
  ASSERT_EQ(mime.error, "");
  ASSERT_FALSE(mime.magic.empty());
  // A glob that is the only one to match a name wins whatever its weight: it would claim
  // every .ini file.
  EXPECT_FALSE(mime.globs.contains("*.ini"));

  struct Case {
    QString name;
    QByteArray bytes;
    bool recognised;
  };
  std::vector<Case> cases;
  const QDir examples(TORVAK_SOURCE_DIR "/examples");
  for (const QString& name : examples.entryList({"*.ini"}, QDir::Files)) {
    cases.push_back({name, sourceFile("examples/" + name), true});
  }
  ASSERT_GE(cases.size(), 6u);
  cases.push_back({"CR LF line ends", QByteArray(cases[0].bytes).replace("\n", "\r\n"), true});
  ParameterFile composed;
  cases.push_back({"a new file as the dialog writes it",
                   QByteArray::fromStdString(formatParameterFile(composed)), true});
  composed.settings.Theta_Dimension = 2;
  composed.pairs.push_back({"from.dat", "to.dat", ""});
  cases.push_back(
      {"a composed file", QByteArray::fromStdString(formatParameterFile(composed)), true});

  TempDir dir;
  Profile profile(QString::fromStdString(dir.file("torvak.ini")));
  profile.addRecentFile("/data/m1_2d.ini");
  ASSERT_TRUE(profile.save());
  cases.push_back({"the program's own settings file",
                   QByteArray::fromStdString(readWholeFile(dir.file("torvak.ini"))), false});
  cases.push_back({"an ini file with one of the keys", "[model]\nModel_Type=logit\n", false});
  cases.push_back({"the desktop file", sourceFile("resources/torvak.desktop"), false});

  for (const Case& c : cases) {
    const bool recognised = std::any_of(mime.magic.begin(), mime.magic.end(),
                                        [&](const MagicRule& r) { return r.holds(c.bytes); });
    EXPECT_EQ(recognised, c.recognised) << c.name.toStdString();
  }

  // Magic compares bytes: every value must be spelt as the writer spells it.
  const QByteArray written = QByteArray::fromStdString(formatParameterFile(composed));
  std::function<void(const MagicRule&)> spelt = [&](const MagicRule& rule) {
    EXPECT_TRUE(written.contains(rule.value)) << rule.value.toStdString();
    for (const MagicRule& child : rule.children) spelt(child);
  };
  for (const MagicRule& rule : mime.magic) spelt(rule);
}
