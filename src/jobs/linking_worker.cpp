#include "jobs/linking_worker.h"

#include <exception>
#include <fstream>
#include <new>

#include "linking/item_surface_linker.h"
#include "linking/least_squares_linker.h"
#include "linking/test_surface_linker.h"
#include "params/settings_keys.h"
#include "params/text_file.h"
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

RunEnding runEnding(LinkingJob& job, int status, const PreScan* scan) {
  RunEnding ending;
  ending.parameterFile = job.parameterFilePath;
  ending.status = status;
  ending.pairsCounted = job.collectPairOutcomes;
  ending.pairCount = scan ? scan->pairCount : 0;
  for (const PairOutcome& pair : job.pairOutcomes) {
    if (pair.result == PairOutcome::Result::Linked) ++ending.linked;
    if (pair.result == PairOutcome::Result::Skipped) ending.skippedEntries.push_back(pair.entry);
  }
  ending.reportBlocksNotWritten = job.reportWriteFailures.load();
  ending.stopRequested = job.stopEvent.poll();  // a manual event: the poll leaves it set
  if (scan && ending.linked == 0) {
    ending.nothingLinkedReason = nothingLinkedReason(*scan, !job.pairOutcomes.empty());
  }
  return ending;
}

void announceEnd(LinkingJob* job, int status, const PreScan* scan) {
  RunHost& host = *job->host;
  host.announceEnding(runEnding(*job, status, scan));
  host.beep();
  host.postDone();
  job->doneEvent.set();
}

// The pre-scan, the engine and the announcement; may throw.
int runLinking(LinkingJob* job) {
  RunHost& host = *job->host;
  const PreScan scan =
      job->input ? preScanOfInput(*job->input) : preScanParameterFile(job->parameterFilePath);
  if (!scan.opened) {
    host.showMessage(job->parameterFilePath, "Can't open initial file", MessageButtons::Ok);
    return 1;
  }

  if (scan.error.empty() && modelLinksPairs(scan.modelType)) {
    const EntryPlan plan = planEntries(scan.entries);
    if (!plan.inOrder) {
      host.showMessage(entryPlanMessage(job->parameterFilePath, scan.entries, plan), "",
                       MessageButtons::Ok);
    }
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
  if (ran) {
    if (job->resultArea.empty()) job->resultArea.resize(1);
    job->resultArea[0] = outcome.result;
  }
  announceEnd(job, outcome.status, &scan);
  return outcome.status;
}

// Shows what escaped the run and announces its end; itself throws nothing.
int endUnexpectedly(LinkingJob* job, const std::string& text) noexcept {
  try {
    job->host->beep();
    job->host->showMessage(text, "", MessageButtons::Ok);
    announceEnd(job, kWorkerFailed, nullptr);
  } catch (...) {
    job->doneEvent.set();
  }
  return kWorkerFailed;
}

}  // namespace

std::string nothingLinkedReason(const PreScan& scan, bool anyPairWorked) {
  if (!modelLinksPairs(scan.modelType)) {
    const std::string absent =
        scan.modelType == 0 ? " (0 when no \"Model_Type=\" key is read)" : "";
    return "Model_Type is " + std::to_string(scan.modelType) + absent + "; only 1, 3 and 4 link";
  }
  if (scan.pairCount == 0) return "the file has no \"$Data_Files\" entry";
  if (anyPairWorked) return "every pair failed and was skipped";
  return "no pair was linked";
}

PreScan preScanParameterFile(const std::string& path) {
  PreScan scan;
  std::ifstream in;
  if (!openTextFile(path, in)) return scan;
  scan.opened = true;
  TokenReader reader(in);
  std::string word;
  while (reader.next(word)) {
    if (tokenIsKey(word, "Model_Type=")) {
      std::string value;
      if (!reader.next(value)) break;  // no value at the end: the default stays
      if (!parseIntToken(value, scan.modelType)) {
        KeyOutcome bad{KeyOutcome::BadValue, word, value};
        scan.error = badValueMessage(path, reader.line(), bad);
        return scan;
      }
    } else if (isDataFilesToken(word)) {
      ++scan.pairCount;
      DataFileEntry entry;
      if (reader.next(entry.number)) entry.line = reader.line();
      scan.entries.push_back(entry);
    }
  }
  if (reader.readError()) scan.opened = false;
  return scan;
}

PreScan preScanOfInput(const LinkInput& input) {
  PreScan scan;
  scan.opened = true;
  scan.modelType = input.settings.Model_Type;
  scan.pairCount = 1;
  scan.entries.push_back({"1=", 0});
  return scan;
}

int LinkingThreadProc(LinkingJob* job) {
  try {
    return runLinking(job);
  } catch (const std::bad_alloc&) {
    return endUnexpectedly(job, "Not Enough Memory");
  } catch (const std::exception& e) {
    return endUnexpectedly(job, std::string("Linking stopped by an unexpected error: ") + e.what());
  } catch (...) {
    return endUnexpectedly(job, "Linking stopped by an unexpected error.");
  }
}

std::thread startLinkingThread(std::shared_ptr<LinkingJob> job, std::shared_ptr<int> status) {
  return std::thread([job = std::move(job), status = std::move(status)] {
    const int result = LinkingThreadProc(job.get());
    if (status) *status = result;
    job->workerFinished.store(true);
  });
}
