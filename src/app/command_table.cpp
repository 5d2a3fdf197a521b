#include "app/command_table.h"

#include <QAction>

#include "app/command_ids.h"

using namespace CommandId;

const QList<CommandSpec>& commandTable() {
  static const QList<CommandSpec> table = {
      {FileNew, "&New", {QKeySequence("Ctrl+N")}, "Create a new document\nNew"},
      {FileOpen, "&Open...", {QKeySequence("Ctrl+O")}, "Open an existing document\nOpen"},
      {FileClose, "&Close", {}, "Close the active document\nClose"},
      {FileSave, "&Save", {QKeySequence("Ctrl+S")}, "Save the active document\nSave"},
      {FileSaveAs, "Save &As...", {}, "Save the active document with a new name\nSave As"},
      {NewLinkingIni,
       "New Linking &Ini",
       {},
       "Open NEW linking parameter initial file\nNew ini file"},
      {LoadLinkingIni,
       "Load &Linking Ini",
       {},
       "Load linking parameter initial file\nLoad ini file"},
      {FilePrint, "&Print...", {QKeySequence("Ctrl+P")}, "Print the active document\nPrint"},
      {FilePrintPreview, "Print Pre&view", {}, "Display full pages\nPrint Preview"},
      {FilePrintSetup,
       "P&rint Setup...",
       {},
       "Change the printer and printing options\nPrint Setup"},
      {AppExit, "E&xit", {}, "Quit the application; prompts to save documents\nExit"},
      {EditUndo,
       "&Undo",
       {QKeySequence("Ctrl+Z"), QKeySequence("Alt+Backspace")},
       "Undo the last action\nUndo"},
      {EditCut,
       "Cu&t",
       {QKeySequence("Ctrl+X"), QKeySequence("Shift+Del")},
       "Cut the selection and put it on the Clipboard\nCut"},
      {EditCopy,
       "&Copy",
       {QKeySequence("Ctrl+C"), QKeySequence("Ctrl+Ins")},
       "Copy the selection and put it on the Clipboard\nCopy"},
      {EditPaste,
       "&Paste",
       {QKeySequence("Ctrl+V"), QKeySequence("Shift+Ins")},
       "Insert Clipboard contents\nPaste"},
      {ViewToolbar, "&Toolbar", {}, "Show or hide the toolbar\nToggle ToolBar"},
      {ViewStatusBar, "&Status Bar", {}, "Show or hide the status bar\nToggle StatusBar"},
      {RunLinking, "&Linking", {}, "Run torvak\nLinking"},
      {ShowResults,
       "&Results",
       {},
       "Show a linking run's results: the transformation, the common items and the "
       "plots\nResults"},
      {WindowNew, "&New Window", {}, "Open another window for the active document\nNew Window"},
      {WindowCascade, "&Cascade", {}, "Arrange windows so they overlap\nCascade Windows"},
      {WindowTile, "&Tile", {}, "Arrange windows as non-overlapping tiles\nTile Windows"},
      {WindowArrange,
       "&Arrange Icons",
       {},
       "Arrange icons at the bottom of the window\nArrange Icons"},
      {HelpContent, "&Content", {}, "List Help topics\nHelp Topics"},
      {HelpSearch, "&Search", {}, "Search the Help for a keyword\nHelp Search"},
      {AppAbout,
       "&About TORVAK",
       {},
       "Display program information, version number and copyright\nAbout"},
      {NextPane, "Next Pane", {QKeySequence("F6")}, "Switch to the next window pane\nNext Pane"},
      {PrevPane,
       "Previous Pane",
       {QKeySequence("Shift+F6")},
       "Switch back to the previous window pane\nPrevious Pane"},
  };
  return table;
}

QAction* makeCommandAction(const CommandSpec& spec, QObject* parent) {
  auto* action = new QAction(QString::fromUtf8(spec.menuText), parent);
  action->setShortcuts(spec.keys);
  const QString prompt = QString::fromUtf8(spec.prompt);
  const qsizetype lineBreak = prompt.indexOf('\n');
  action->setStatusTip(prompt.left(lineBreak));
  action->setToolTip(prompt.mid(lineBreak + 1));
  action->setProperty("commandId", spec.id);
  action->setObjectName(QString("ID_%1").arg(spec.id));
  return action;
}

int commandIdOf(const QAction* action) {
  return action == nullptr ? 0 : action->property("commandId").toInt();
}
