#include "jobs/link_arrays.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <thread>

#include "diagnostics/pair_diagnostics.h"
#include "jobs/linking_worker.h"
#include "run/message_log_host.h"

namespace {

// Why the categories of polytomous items do not describe the items; empty when they do.
std::string categoriesProblem(const std::string& name, const ItemArrays& items, std::size_t n) {
  const ItemCategories& c = items.categories;
  if (c.empty()) return {};
  if (c.size() != n || c.counts.size() != n || c.starts.size() != n + 1 ||
      c.starts.back() != c.rest.size()) {
    return name + ": the categories describe " + std::to_string(c.size()) + " items, not " +
           std::to_string(n);
  }
  for (std::size_t i = 0; i < n; ++i) {
    const std::string item = name + ", item " + std::to_string(i + 1) + ": ";
    const int m = c.counts[i];
    if (m < 2 || m > kMostCategories || c.starts[i + 1] - c.starts[i] != static_cast<std::size_t>(m > 2 ? m - 2 : 0)) {
      return item + std::to_string(m) + " categories (2 to " + std::to_string(kMostCategories) +
             " with m - 2 intercepts after the first)";
    }
    if (m > 2 && !items.guessing.empty() && items.guessing[i] != 0.0) {
      return item + "a polytomous item has no guessing parameter";
    }
    for (int k = 0; k < m - 2; ++k) {
      if (!std::isfinite(c.restOf(i)[k])) {
        return item + "intercept " + std::to_string(k + 2) + " is not a finite number";
      }
    }
    if (std::string order = interceptOrderProblem(c.kinds[i], m, items.intercepts[i], c.restOf(i));
        !order.empty()) {
      return item + order;
    }
  }
  return {};
}

std::string itemProblem(const char* which, const ItemArrays& items, std::size_t n, int d) {
  const std::string name = which;
  const auto nd = n * static_cast<std::size_t>(d);
  if (items.slopes.size() != nd) {
    return name + ": " + std::to_string(items.slopes.size()) + " slopes for " + std::to_string(n) +
           " items in " + std::to_string(d) + " dimensions (" + std::to_string(nd) + " wanted)";
  }
  if (!items.guessing.empty() && items.guessing.size() != n) {
    return name + ": " + std::to_string(items.guessing.size()) + " guessing parameters for " +
           std::to_string(n) + " items";
  }
  for (std::size_t i = 0; i < n; ++i) {
    const std::string item = name + ", item " + std::to_string(i + 1) + ": ";
    for (int k = 0; k < d; ++k) {
      if (!std::isfinite(
              items.slopes[i * static_cast<std::size_t>(d) + static_cast<std::size_t>(k)])) {
        return item + "slope " + std::to_string(k + 1) + " is not a finite number";
      }
    }
    if (!std::isfinite(items.intercepts[i])) return item + "the intercept is not a finite number";
    if (!items.guessing.empty() && !(items.guessing[i] >= 0.0 && items.guessing[i] < 1.0)) {
      return item + "the guessing parameter " + std::to_string(items.guessing[i]) +
             " is not at least 0 and below 1";
    }
  }
  return categoriesProblem(name, items, n);
}

std::string letters(char letter, int count) {
  return std::string(static_cast<std::size_t>(count), letter);
}

// A job whose host answers Stop to "Problem in Linking, Continue?" and shows nothing; the log
// keeps the messages. The pair outcomes and the criteria at the identity and the start are
// collected, as torvak-link --results has them.
std::shared_ptr<LinkingJob> quietJob(const std::string& name, const EvaluationOptions& evaluation,
                                     const DiagnosticsOptions& diagnostics,
                                     std::shared_ptr<MessageLogHost>& log) {
  auto job = std::make_shared<LinkingJob>();
  job->parameterFilePath = name;
  log = std::make_shared<MessageLogHost>(std::make_shared<NullRunHost>());
  job->host = log;
  job->collectPairOutcomes = true;
  job->evaluateReferenceCriteria = true;
  job->evaluation = evaluation;
  attachDiagnostics(*job, diagnostics);
  return job;
}

// Runs job on its thread while the calling thread polls interrupted.
int runPolling(const std::shared_ptr<LinkingJob>& job, const std::function<bool()>& interrupted,
               bool& stopped) {
  auto status = std::make_shared<int>(0);
  std::thread worker = startLinkingThread(job, status);
  stopped = false;
  // A short run is waited for briefly; a long one is looked at every 20 ms.
  auto pause = std::chrono::microseconds(250);
  while (!job->workerFinished.load()) {
    if (!stopped && interrupted && interrupted()) {
      stopped = true;
      job->stopEvent.set();
    }
    std::this_thread::sleep_for(pause);
    pause = std::min(pause * 2, std::chrono::microseconds(20000));
  }
  worker.join();
  return *status;
}

RunResults resultsOf(const std::shared_ptr<LinkingJob>& job, const MessageLogHost& log,
                     int status) {
  RunResults run;
  run.parameterFile = job->parameterFilePath;
  run.status = status;
  run.reportBlocksNotWritten = job->reportWriteFailures.load();
  run.pairs = std::move(job->pairOutcomes);
  run.messages = attachPairMessages(run.pairs, log.entries());
  return run;
}

}  // namespace

std::string linkInputProblem(const LinkInput& input) {
  const LinkingSettings& s = input.settings;
  const int d = s.Theta_Dimension;
  if (s.Model_Type != 1 && s.Model_Type != 3 && s.Model_Type != 4) {
    return "the model is " + std::to_string(s.Model_Type) + "; only 1, 3 and 4 link";
  }
  if (d < 1 || d > 25) return "the dimension is " + std::to_string(d) + "; it must be 1 to 25";
  const std::size_t n = input.from.intercepts.size();
  if (input.to.intercepts.size() != n) {
    return "From holds " + std::to_string(n) + " items and To " +
           std::to_string(input.to.intercepts.size()) + ": the common items must match";
  }
  if (n < static_cast<std::size_t>(d) + 1) {
    return std::to_string(n) + " common items: a link in " + std::to_string(d) +
           (d == 1 ? " dimension" : " dimensions") + " needs at least " + std::to_string(d + 1);
  }
  if (std::string p = itemProblem("From", input.from, n, d); !p.empty()) return p;
  if (std::string p = itemProblem("To", input.to, n, d); !p.empty()) return p;
  if (input.theta.empty()) {
    if (s.Number_Of_Grid < 2) return "neither theta points nor a grid of at least 2 points";
    if (static_cast<long long>(s.Number_Of_Grid) * d > 3000) {
      return "a grid of " + std::to_string(s.Number_Of_Grid) + " points in " + std::to_string(d) +
             " dimensions is more than a run takes (points times dimension at most 3000)";
    }
    if (!(s.Range_Begin < s.Range_End)) return "the grid's range must begin below its end";
    return {};
  }
  if (s.Number_Of_Grid != 0) return "theta points and a grid both given: give one of them";
  if (input.theta.size() % static_cast<std::size_t>(d) != 0) {
    return "theta: " + std::to_string(input.theta.size()) + " values do not make points of " +
           std::to_string(d) + " coordinates";
  }
  for (std::size_t i = 0; i < input.theta.size(); ++i) {
    if (!std::isfinite(input.theta[i])) {
      return "theta, point " + std::to_string(i / static_cast<std::size_t>(d) + 1) +
             ": a coordinate is not a finite number";
    }
  }
  return {};
}

ArrayLinkResult linkArrays(LinkInput input, const EvaluationOptions& evaluation,
                           const std::function<bool()>& interrupted, const std::string& name,
                           const DiagnosticsOptions& diagnostics) {
  ArrayLinkResult result;
  result.error = linkInputProblem(input);
  if (!result.error.empty()) return result;
  LinkingSettings& s = input.settings;
  const int d = s.Theta_Dimension;
  const auto items = static_cast<long long>(input.from.intercepts.size());
  const auto left = std::count_if(diagnostics.excludedItems.begin(),
                                  diagnostics.excludedItems.end(),
                                  [items](long long item) { return item >= 1 && item <= items; });
  if (items - left < d + 1) {
    result.error = "leaving out " + std::to_string(left) + " of the " + std::to_string(items) +
                   " common items leaves too few: a link in " + std::to_string(d) +
                   (d == 1 ? " dimension" : " dimensions") + " needs at least " +
                   std::to_string(d + 1);
    return result;
  }
  s.fromFile.name = "From items";
  s.toFile.name = "To items";
  s.fromFile.columnFormat = s.toFile.columnFormat = letters('A', d) + "DC";
  s.empiricalFile = {};
  if (!input.theta.empty()) {
    s.empiricalFile.name = "theta points";
    s.empiricalFile.columnFormat = letters('T', d);
  }
  s.outputFile = {};  // nothing is written

  std::shared_ptr<MessageLogHost> log;
  auto job = quietJob(name, evaluation, diagnostics, log);
  job->input = std::make_shared<const LinkInput>(std::move(input));
  const int status = runPolling(job, interrupted, result.interrupted);
  result.run = resultsOf(job, *log, status);
  const bool linked = status == 0 && result.run.pairsWith(PairOutcome::Result::Linked) == 1;
  if (!linked && !result.interrupted) {
    for (const PairOutcome& pair : result.run.pairs) result.error += pair.message;
    for (const std::string& message : result.run.messages) result.error += message + "\n";
    if (result.error.empty()) result.error = "the run ended with status " + std::to_string(status);
    while (!result.error.empty() && result.error.back() == '\n') result.error.pop_back();
  }
  return result;
}

RunResults runParameterFileQuietly(const std::string& path, const EvaluationOptions& evaluation,
                                   const std::function<bool()>& interrupted, bool& stopped,
                                   const DiagnosticsOptions& diagnostics) {
  std::shared_ptr<MessageLogHost> log;
  auto job = quietJob(path, evaluation, diagnostics, log);
  const int status = runPolling(job, interrupted, stopped);
  return resultsOf(job, *log, status);
}
