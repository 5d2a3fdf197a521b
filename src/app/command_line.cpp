#include "app/command_line.h"

namespace {

// Whether arguments[i] is the option name, as "NAME VALUE" (i then moves to the value) or
// "NAME=VALUE"; value is empty when none is given.
bool optionValue(const QStringList& arguments, int& i, const QString& name, QString& value) {
  const QString& word = arguments[i];
  if (word == name) {
    value = i + 1 < arguments.size() ? arguments[++i] : QString();
    return true;
  }
  if (word.startsWith(name + '=')) {
    value = word.mid(name.size() + 1);
    return true;
  }
  return false;
}

// Takes the value of a file option into target; returns the error, if any.
QString takeFile(const QString& name, const QString& what, const QString& value,
                 QString& target) {
  if (value.isEmpty()) return name + " needs " + what;
  if (!target.isEmpty()) return name + " can be given only once";
  target = value;
  return {};
}

QString takeParameterFile(const QString& name, const QString& value, QString& target) {
  return takeFile(name, "a parameter file", value, target);
}

}  // namespace

CommandLine parseCommandLine(const QStringList& arguments) {
  CommandLine line;
  for (int i = 1; i < arguments.size() && line.error.isEmpty(); ++i) {
    const QString& word = arguments[i];
    QString value;
    if (word == "-h" || word == "--help") {
      line.showHelp = true;
    } else if (word == "--version") {
      line.showVersion = true;
    } else if (optionValue(arguments, i, "--link", value)) {
      line.error = takeParameterFile("--link", value, line.linkFile);
    } else if (optionValue(arguments, i, "--edit", value)) {
      line.error = takeParameterFile("--edit", value, line.editFile);
    } else if (optionValue(arguments, i, "--plots", value)) {
      line.error = takeFile("--plots", "a results file", value, line.plotsFile);
    } else if (optionValue(arguments, i, "--out", value)) {
      line.error = takeFile("--out", "a folder", value, line.plotsFolder);
    } else if (word.startsWith("-") && word != "-") {
      line.error = "unknown option " + word;
    } else if (line.documentFile.isEmpty()) {
      line.documentFile = word;
    } else {
      line.error = "only one file can be opened at start-up";
    }
  }
  if (line.error.isEmpty() && !line.linkFile.isEmpty() && !line.editFile.isEmpty()) {
    line.error =
        "--link and --edit cannot be given together (the dialog's Link button runs "
        "the file it shows)";
  }
  if (line.error.isEmpty() && !line.plotsFile.isEmpty()) {
    if (line.plotsFolder.isEmpty()) {
      line.error = "--plots needs --out FOLDER, the folder the charts go to";
    } else if (!line.linkFile.isEmpty() || !line.editFile.isEmpty() ||
               !line.documentFile.isEmpty()) {
      line.error = "--plots opens no window: it takes no --link, --edit or FILE";
    }
  } else if (line.error.isEmpty() && !line.plotsFolder.isEmpty()) {
    line.error = "--out names the folder of --plots, which is missing";
  }
  return line;
}

bool asksForPlots(const QStringList& arguments) {
  for (const QString& word : arguments) {
    for (const char* name : {"--plots", "--out"}) {
      if (word == name || word.startsWith(QString(name) + '=')) return true;
    }
  }
  return false;
}

QString commandLineHelp() {
  return "Usage: torvak [--link PARAMETER_FILE | --edit PARAMETER_FILE] [FILE]\n"
         "       torvak --plots RESULTS_FILE --out FOLDER\n"
         "\n"
         "The desktop program of Torvak: links two IRT calibrations onto one scale.\n"
         "\n"
         "  FILE                   open FILE as a text document at start-up\n"
         "  --link PARAMETER_FILE  start a linking run of PARAMETER_FILE at start-up,\n"
         "                         as Run > Linking does\n"
         "  --edit PARAMETER_FILE  open PARAMETER_FILE in the Linking Parameters dialog,\n"
         "                         as File > Load Linking Ini does (a file that cannot\n"
         "                         be opened is named, and the dialog starts empty)\n"
         "  --plots RESULTS_FILE   write the charts of every linked pair of RESULTS_FILE\n"
         "                         (as torvak-link --results writes it) as PNG and SVG\n"
         "                         files into the folder of --out, made when missing,\n"
         "                         and exit; no window opens and no display is needed\n"
         "  --out FOLDER           the folder of --plots\n"
         "  -h, --help             show this help and exit\n"
         "  --version              show the version and exit\n"
         "\n"
         "--link and --edit exclude each other: the dialog's Link button runs the file it\n"
         "shows. All four options with a value also take the form --link=FILE.\n"
         "Opening a linking parameter file from a file manager runs torvak --edit; its\n"
         "Link action runs torvak --link.\n"
         "\n"
         "Runs without a window: torvak-link --help.\n";
}
