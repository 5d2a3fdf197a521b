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

// Takes the value of a parameter-file option into target; returns the error, if any.
QString takeParameterFile(const QString& name, const QString& value, QString& target) {
  if (value.isEmpty()) return name + " needs a parameter file";
  if (!target.isEmpty()) return name + " can be given only once";
  target = value;
  return {};
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
  return line;
}

QString commandLineHelp() {
  return "Usage: torvak [--link PARAMETER_FILE | --edit PARAMETER_FILE] [FILE]\n"
         "\n"
         "The desktop program of Torvak: links two IRT calibrations onto one scale.\n"
         "\n"
         "  FILE                   open FILE as a text document at start-up\n"
         "  --link PARAMETER_FILE  start a linking run of PARAMETER_FILE at start-up,\n"
         "                         as Run > Linking does\n"
         "  --edit PARAMETER_FILE  open PARAMETER_FILE in the Linking Parameters dialog,\n"
         "                         as File > Load Linking Ini does (a file that cannot\n"
         "                         be opened is named, and the dialog starts empty)\n"
         "  -h, --help             show this help and exit\n"
         "  --version              show the version and exit\n"
         "\n"
         "--link and --edit exclude each other: the dialog's Link button runs the file it\n"
         "shows. Both also take the form --link=FILE, --edit=FILE.\n"
         "Opening a linking parameter file from a file manager runs torvak --edit; its\n"
         "Link action runs torvak --link.\n"
         "\n"
         "Runs without a window: torvak-link --help.\n";
}
