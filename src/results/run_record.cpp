#include "results/run_record.h"

#include "report/results_json.h"

ResultsRead recordOfRun(const RunResults& run) {
  return readResultsJson(formatResultsJson({run}, 0), run.parameterFile);
}
