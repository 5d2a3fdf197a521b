// StartLinkingRun: starts a linking run on a parameter file, as Run > Linking does.
//
// Creates the run's job and its progress dialog (owned by the shell's window), which opens the
// output window titled "Linking output from: " + path and starts the worker; returns at once
// with the dialog. Nothing refuses a run while others are in progress. Each linked pair also
// gets the diagnostics asked for (they change nothing in the report), and the finished run's
// results go to the shell (LinkingShell::keepRunResults), to be shown at once when
// showResultsWhenDone is set.
#pragma once

#include <QString>

#include "run/diagnostics_options.h"

class LinkingShell;
class LinkingProgressDialog;

// What the desktop's runs compute beyond the link: item diagnostics with the default drift
// cutoff, and jackknife standard errors of M and t.
DiagnosticsOptions desktopDiagnostics();

LinkingProgressDialog* StartLinkingRun(const QString& path, LinkingShell* shell,
                                       const DiagnosticsOptions& diagnostics = desktopDiagnostics(),
                                       bool showResultsWhenDone = false);
