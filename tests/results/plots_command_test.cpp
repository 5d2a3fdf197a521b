// torvak --plots, run as a program without a display: the files it writes, and its messages
// and exit status for files it cannot use.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <algorithm>

#include "app/command_line.h"
#include "results/chart_files.h"
#include "results/plots_command.h"
#include "support/temp_dir.h"

namespace {

const QString kFixture = TORVAK_SOURCE_DIR "/tests/results/two_dimensional_results.json";

struct Outcome {
  int exitCode = -1;
  QString out, err;
};

// torvak with arguments, with no display at all.
Outcome runTorvak(const QStringList& arguments) {
  QProcess torvak;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(name);
  torvak.setProcessEnvironment(env);
  torvak.start(TORVAK_DESKTOP_EXE, arguments);
  Outcome outcome;
  if (!torvak.waitForFinished(60000) || torvak.exitStatus() != QProcess::NormalExit) return outcome;
  outcome.exitCode = torvak.exitCode();
  outcome.out = QString::fromLocal8Bit(torvak.readAllStandardOutput());
  outcome.err = QString::fromLocal8Bit(torvak.readAllStandardError());
  return outcome;
}

}  // namespace

TEST(PlotsCommand, WritesEveryChartOfEveryLinkedPairAsPngAndSvg) {
  TempDir dir;
  const QString folder = QString::fromStdString(dir.file("plots/new"));  // made when missing
  const Outcome outcome = runTorvak({"--plots", kFixture, "--out", folder});
  ASSERT_EQ(outcome.exitCode, 0) << outcome.err.toStdString();

  QStringList expected;
  for (const char* key : {"curves", "axis1", "axis2", "shares", "parameters"}) {
    for (const char* suffix : {".png", ".svg"}) {
      expected << chartFileStem(1, 1, key) + suffix;
    }
  }
  QStringList found = QDir(folder).entryList(QDir::Files, QDir::Name);
  QStringList sortedExpected = expected;
  sortedExpected.sort();
  EXPECT_EQ(found, sortedExpected) << "the skipped second pair has no charts";
  for (const QString& name : expected) {
    EXPECT_TRUE(outcome.out.contains("wrote " + QDir(folder).filePath(name) + "\n"))
        << name.toStdString();
  }
  const QImage png(QDir(folder).filePath("run1-pair1-shares.png"));
  EXPECT_EQ(png.size(), kChartFileSize);
  int coloured = 0;  // pixels neither white nor grey: the curves, bars and markers
  for (int y = 0; y < png.height(); y += 2) {
    for (int x = 0; x < png.width(); x += 2) {
      const QColor c = png.pixelColor(x, y);
      coloured += std::max({c.red(), c.green(), c.blue()}) -
                      std::min({c.red(), c.green(), c.blue()}) > 60;
    }
  }
  EXPECT_GT(coloured, 500) << "the chart is drawn, not only its background";
  QFile svg(QDir(folder).filePath("run1-pair1-axis2.svg"));
  ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
  const QByteArray text = svg.readAll();
  EXPECT_TRUE(text.contains("<svg")) << "an SVG document";
  EXPECT_TRUE(text.contains("Test characteristic curves along axis 2"));
}

TEST(PlotsCommand, RefusesFilesItCannotUseWithAMessageAndAnExitStatus) {
  TempDir dir;
  const QString folder = QString::fromStdString(dir.file("out"));
  const QString notResults = QString::fromStdString(dir.write("report.json", "{\"runs\": []}"));
  const QString plain = QString::fromStdString(dir.write("a-file", "text"));
  struct Case {
    QStringList arguments;
    int exitCode;
    QString message;  // a part of standard error
  };
  const Case cases[] = {
      {{"--plots", QString::fromStdString(dir.file("gone.json")), "--out", folder},
       kPlotsInputFailed, "gone.json: cannot be opened for reading"},
      {{"--plots", notResults, "--out", folder}, kPlotsInputFailed,
       "report.json: not a Torvak results document"},
      {{"--plots", kFixture}, 64, "--plots needs --out FOLDER"},
      {{"--out", folder}, 64, "--out names the folder of --plots"},
      {{"--plots", kFixture, "--out", folder, "notes.txt"}, 64, "--plots opens no window"},
      {{"--plots", kFixture, "--out", plain + "/sub"}, kPlotsOutputFailed, "cannot make the folder"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.join(' ').toStdString());
    const Outcome outcome = runTorvak(c.arguments);
    EXPECT_EQ(outcome.exitCode, c.exitCode);
    EXPECT_TRUE(outcome.err.contains(c.message)) << outcome.err.toStdString();
  }
  EXPECT_FALSE(QDir(folder).exists()) << "nothing made for a file that is not results";
}

TEST(PlotsCommand, CommandLineTakesPlotsAndOut) {
  struct Case {
    QStringList arguments;
    QString plotsFile, plotsFolder, error;
  };
  const Case cases[] = {
      {{"torvak", "--plots", "r.json", "--out", "d"}, "r.json", "d", ""},
      {{"torvak", "--out=d", "--plots=r.json"}, "r.json", "d", ""},
      {{"torvak", "--plots"}, "", "", "--plots needs a results file"},
      {{"torvak", "--plots", "r.json", "--out"}, "r.json", "", "--out needs a folder"},
      {{"torvak", "--plots", "a", "--plots", "b", "--out", "d"}, "a", "", "only once"},
      {{"torvak", "--plots", "r.json", "--out", "d", "--link", "a.ini"}, "r.json", "d",
       "--plots opens no window"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.join(' ').toStdString());
    const CommandLine line = parseCommandLine(c.arguments);
    EXPECT_EQ(line.plotsFile, c.plotsFile);
    EXPECT_EQ(line.plotsFolder, c.plotsFolder);
    if (c.error.isEmpty()) {
      EXPECT_EQ(line.error, "");
    } else {
      EXPECT_TRUE(line.error.contains(c.error)) << line.error.toStdString();
    }
  }
  EXPECT_TRUE(asksForPlots({"torvak", "-platform", "offscreen", "--plots=r.json"}));
  EXPECT_FALSE(asksForPlots({"torvak", "--link", "plots.ini"}));
  EXPECT_TRUE(commandLineHelp().contains("--plots RESULTS_FILE"));
}
