#include "app/pellan1_app.h"

#include <cstdio>

#include "app/command_line.h"
#include "app/main_frame.h"
#include "app/profile.h"
#include "app/start_up.h"
#include "app/toolbar_icons.h"
#include "results/plots_command.h"

CPellan1App::CPellan1App(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName("Torvak");
  setApplicationVersion(TORVAK_VERSION);
  setOrganizationName("torvak");
  setDesktopFileName("torvak");
  setWindowIcon(applicationIcon());
}

CPellan1App::~CPellan1App() { mainFrame_.reset(); }

namespace {

int answerInfoOption(const CommandLine& line) {
  if (line.showHelp) {
    std::fputs(commandLineHelp().toLocal8Bit().constData(), stdout);
    return 0;
  }
  if (line.showVersion) {
    std::printf("torvak %s\n", TORVAK_VERSION);
    return 0;
  }
  return -1;
}

// --plots: charts rendered offscreen; a display is used only when there is one.
int answerPlots(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
      qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication app(argc, argv);  // takes Qt's own options out of the arguments
  const CommandLine line = parseCommandLine(QApplication::arguments());
  if (const int status = answerInfoOption(line); status >= 0) return status;
  if (!line.error.isEmpty()) {
    std::fprintf(stderr, "torvak: %s\nTry 'torvak --help'.\n", line.error.toLocal8Bit().constData());
    return 64;
  }
  return writePlots(line.plotsFile, line.plotsFolder, stdout, stderr);
}

}  // namespace

int CPellan1App::answerWithoutWindow(int argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments.append(QString::fromLocal8Bit(argv[i]));
  if (asksForPlots(arguments)) return answerPlots(argc, argv);
  // Qt's own options are still in argv here, so only help and version are answered.
  return answerInfoOption(parseCommandLine(arguments));
}

int CPellan1App::initInstance() {
  const CommandLine line = parseCommandLine(arguments());
  if (const int status = answerInfoOption(line); status >= 0) return status;
  if (!line.error.isEmpty()) {
    std::fprintf(stderr, "torvak: %s\n%s", line.error.toLocal8Bit().constData(),
                 commandLineHelp().toLocal8Bit().constData());
    return 64;
  }
  profile_ = std::make_unique<Profile>(Profile::defaultPath());
  profile_->load();
  mainFrame_ = startUp(line, profile_.get());
  if (!mainFrame_) return 1;
  mainFrame_->show();
  return -1;
}
