// The command table: text, keys, status prompt and tooltip of every command, by ID.
//
// One place holds every visible text of the main window's commands. makeCommandAction builds
// the QAction of a command with its ID attached (command_ids.h).
#pragma once

#include <QKeySequence>
#include <QList>

class QAction;
class QObject;

struct CommandSpec {
  int id;
  const char* menuText;  // with its & mnemonic
  QList<QKeySequence> keys;
  const char* prompt;  // status-bar prompt, "\n", tooltip
};

const QList<CommandSpec>& commandTable();
QAction* makeCommandAction(const CommandSpec& spec, QObject* parent);
// The ID an action carries, or 0.
int commandIdOf(const QAction* action);
