#include "app/start_up.h"

#include <QFileInfo>

#include "app/main_frame.h"
#include "dialogs/linking_parameters_dialog.h"
#include "dialogs/start_linking_run.h"

std::unique_ptr<CMainFrame> startUp(const CommandLine& line, Profile* profile) {
  auto frame = std::make_unique<CMainFrame>(profile);
  if (!line.documentFile.isEmpty() && frame->openDocumentFile(line.documentFile) == nullptr) {
    return nullptr;
  }
  // Shown first, so that a run's dialog or the parameters dialog opens over it, centred on it.
  if (!line.linkFile.isEmpty() || !line.editFile.isEmpty()) frame->show();
  if (!line.linkFile.isEmpty()) {
    StartLinkingRun(QFileInfo(line.linkFile).absoluteFilePath(), frame.get());
  }
  if (!line.editFile.isEmpty()) {
    LinkingParametersDialog::open(QFileInfo(line.editFile).absoluteFilePath(), frame.get());
  }
  return frame;
}
