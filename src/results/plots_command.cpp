#include "results/plots_command.h"

#include <QDir>
#include <QFile>

#include "results/chart_files.h"
#include "results/results_record.h"

namespace {

void say(std::FILE* stream, const QString& text) {
  std::fputs((text + "\n").toLocal8Bit().constData(), stream);
}

}  // namespace

int writePlots(const QString& resultsFile, const QString& folder, std::FILE* out, std::FILE* err) {
  const ResultsRead read = readResultsFile(QFile::encodeName(resultsFile).toStdString());
  if (!read.ok()) {
    say(err, "torvak: " + QString::fromStdString(read.error));
    return kPlotsInputFailed;
  }
  if (!QDir().mkpath(folder)) {
    say(err, "torvak: cannot make the folder " + folder);
    return kPlotsOutputFailed;
  }
  int pairsWithCharts = 0;
  for (std::size_t r = 0; r < read.document.runs.size(); ++r) {
    for (const ResultsPair& pair : read.document.runs[r].pairs) {
      QStringList written;
      QString error;
      const bool ok = savePairCharts(pair, static_cast<int>(r + 1), folder, &written, &error);
      for (const QString& path : written) say(out, "wrote " + path);
      if (!ok) {
        say(err, "torvak: " + error);
        return kPlotsOutputFailed;
      }
      if (!written.isEmpty()) ++pairsWithCharts;
    }
  }
  if (pairsWithCharts == 0) {
    say(err, "torvak: " + resultsFile +
                 ": no linked pair with item diagnostics, so there is nothing to plot "
                 "(torvak-link --results writes them)");
  }
  return 0;
}
