// The desktop program's command line: torvak [--link PARAMETER_FILE | --edit PARAMETER_FILE]
// [FILE], or torvak --plots RESULTS_FILE --out FOLDER
//
// FILE opens as a text document at start-up; --link starts a linking run of PARAMETER_FILE as
// Run > Linking would; --edit opens PARAMETER_FILE in the Linking Parameters dialog, as
// File > Load Linking Ini would (what opening a parameter file from a file manager does).
// --link and --edit exclude each other. --plots writes the charts of a results file (as
// torvak-link --results writes it) into FOLDER and opens no window, so it takes nothing else. Qt's own options (-platform, -style, ...) are taken
// out by QApplication before this sees the arguments.
#pragma once

#include <QString>
#include <QStringList>

struct CommandLine {
  QString documentFile;
  QString linkFile;
  QString editFile;
  QString plotsFile;
  QString plotsFolder;  // --out
  bool showHelp = false;
  bool showVersion = false;
  QString error;  // non-empty when the command line is wrong
};

CommandLine parseCommandLine(const QStringList& arguments);  // arguments[0] is the program
// Whether the words hold --plots or --out (answered without a window), looked at before
// Qt's own options are taken out.
bool asksForPlots(const QStringList& arguments);
QString commandLineHelp();
