// StartLinkingRun: starts a linking run on a parameter file, as Run > Linking does.
//
// Creates the run's job and its progress dialog (owned by the shell's window), which opens the
// output window titled "Linking output from: " + path and starts the worker; returns at once
// with the dialog. Nothing refuses a run while others are in progress.
#pragma once

#include <QString>

class LinkingShell;
class LinkingProgressDialog;

LinkingProgressDialog* StartLinkingRun(const QString& path, LinkingShell* shell);
