#include "linking/pair_steps.h"

#include <algorithm>

bool announcePairAndPollStop(RunSettings& s) {
  LinkingJob& job = *s.job;
  job.fromFileName = s.fromFile.name;
  job.toFileName = s.toFile.name;
  job.empiricalFileName = s.empiricalFile.name;
  job.postProgress();
  return job.stopEvent.poll();
}

void storeTransformation(const RunSettings& s, const std::vector<double>& block) {
  std::vector<double>* area = s.job->resultArea;
  if (area == nullptr) return;
  area->resize(std::max(area->size(), block.size() + 1));
  std::copy(block.begin(), block.end(), area->begin() + 1);
}
