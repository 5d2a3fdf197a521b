#include "app/command_line.h"

CommandLine parseCommandLine(const QStringList& arguments) {
  CommandLine line;
  for (int i = 1; i < arguments.size(); ++i) {
    const QString& word = arguments[i];
    if (word == "-h" || word == "--help") {
      line.showHelp = true;
    } else if (word == "--version") {
      line.showVersion = true;
    } else if (word == "--link" || word.startsWith("--link=")) {
      if (word.startsWith("--link=")) {
        line.linkFile = word.mid(7);
      } else if (i + 1 < arguments.size()) {
        line.linkFile = arguments[++i];
      }
      if (line.linkFile.isEmpty()) line.error = "--link needs a parameter file";
    } else if (word.startsWith("-") && word != "-") {
      line.error = "unknown option " + word;
    } else if (line.documentFile.isEmpty()) {
      line.documentFile = word;
    } else {
      line.error = "only one file can be opened at start-up";
    }
  }
  return line;
}

QString commandLineHelp() {
  return "Usage: torvak [--link PARAMETER_FILE] [FILE]\n"
         "\n"
         "The desktop program of Torvak: links two IRT calibrations onto one scale.\n"
         "\n"
         "  FILE                   open FILE as a text document at start-up\n"
         "  --link PARAMETER_FILE  start a linking run of PARAMETER_FILE at start-up,\n"
         "                         as Run > Linking does\n"
         "  -h, --help             show this help and exit\n"
         "  --version              show the version and exit\n"
         "\n"
         "Runs without a window: torvak-link --help.\n";
}
