#include "linking/pair_steps.h"

#include <algorithm>

void postPairProgress(const RunSettings& s, long searchStep, double criterion) {
  ProgressNote note;
  note.fromFileName = s.fromFile.name;
  note.toFileName = s.toFile.name;
  note.empiricalFileName = s.empiricalFile.name;
  note.searchStep = searchStep;
  if (searchStep > 0) note.criterion = criterion;
  s.host().postProgress(note);
}

bool announcePairAndPollStop(const RunSettings& s) {
  postPairProgress(s);
  return s.job != nullptr && s.job->stopEvent.poll();
}

void storeTransformation(const RunSettings& s, const std::vector<double>& block) {
  if (s.job == nullptr) return;
  std::vector<double>& area = s.job->resultArea;
  area.resize(std::max(area.size(), block.size() + 1));
  std::copy(block.begin(), block.end(), area.begin() + 1);
}
