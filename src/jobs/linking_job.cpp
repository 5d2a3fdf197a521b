#include "jobs/linking_job.h"

void LinkingJob::postProgress(long searchStep, double criterion) const {
  if (host == nullptr) return;
  ProgressNote note;
  note.fromFileName = fromFileName;
  note.toFileName = toFileName;
  note.empiricalFileName = empiricalFileName;
  note.searchStep = searchStep;
  if (searchStep > 0) note.criterion = criterion;
  host->postProgress(note);
}
