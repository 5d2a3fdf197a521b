#include "jobs/linking_worker.h"

#include <fstream>
#include <memory>

#include "linking/item_surface_linker.h"
#include "linking/least_squares_linker.h"
#include "linking/test_surface_linker.h"
#include "params/settings_keys.h"
#include "params/token_reader.h"

namespace {

struct EngineOutcome {
  double result = 0.0;
  int status = 0;
};

template <typename Engine>
EngineOutcome runEngine(LinkingJob* job, int pairCount) {
  auto engine = std::make_unique<Engine>(job);
  EngineOutcome outcome;
  outcome.result = engine->run(pairCount);
  outcome.status = engine->status;
  return outcome;
}

}  // namespace

PreScan preScanParameterFile(const std::string& path) {
  PreScan scan;
  std::ifstream in(path);
  if (!in) return scan;
  scan.opened = true;
  TokenReader reader(in);
  std::string word;
  while (reader.next(word)) {
    if (tokenIsKey(word, "Model_Type=")) {
      std::string value;
      if (!reader.next(value) || !parseIntToken(value, scan.modelType)) {
        KeyOutcome bad{KeyOutcome::BadValue, word, value};
        scan.error = badValueMessage(path, reader.line(), bad);
        return scan;
      }
    } else if (isDataFilesToken(word)) {
      ++scan.pairCount;
    }
  }
  return scan;
}

int LinkingThreadProc(LinkingJob* job) {
  RunHost& host = *job->host;
  const PreScan scan = preScanParameterFile(job->parameterFilePath);
  if (!scan.opened) {
    host.showMessage(job->parameterFilePath, "Can't open initial file", MessageButtons::Ok);
    return 1;
  }

  EngineOutcome outcome;
  bool ran = true;
  if (!scan.error.empty()) {
    host.showMessage(scan.error, "", MessageButtons::Ok);
    outcome.status = 1;
    ran = false;
  } else if (scan.modelType == 1) {
    outcome = runEngine<LeastSquaresLinker>(job, scan.pairCount);
  } else if (scan.modelType == 3) {
    outcome = runEngine<TestSurfaceLinker>(job, scan.pairCount);
  } else if (scan.modelType == 4) {
    outcome = runEngine<ItemSurfaceLinker>(job, scan.pairCount);
  } else {
    ran = false;
  }
  if (ran && job->resultArea != nullptr) {
    if (job->resultArea->empty()) job->resultArea->resize(1);
    (*job->resultArea)[0] = outcome.result;
  }

  std::string text = outcome.status != 0
                         ? "Error: (" + std::to_string(outcome.status) + ") in Linking: "
                         : std::string("Linking Done: ");
  host.setStatusText(text + job->parameterFilePath);
  host.beep();
  host.postDone();
  job->doneEvent.set();
  return outcome.status;
}
