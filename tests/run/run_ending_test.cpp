// The final status of a run says what torvak-link's exit status says.
#include "run/run_ending.h"

#include <gtest/gtest.h>

namespace {

RunEnding ending(int status, long long linked, std::vector<long long> skipped, int notWritten) {
  RunEnding e;
  e.parameterFile = "/runs/a.ini";
  e.status = status;
  e.pairsCounted = true;
  e.linked = linked;
  e.skippedEntries = std::move(skipped);
  e.reportBlocksNotWritten = notWritten;
  e.nothingLinkedReason = "every pair failed and was skipped";
  return e;
}

}  // namespace

TEST(RunEnding, TextSaysWhatTheExitStatusSays) {
  struct Case {
    RunEnding ending;
    const char* text;
  };
  RunEnding stopped = ending(0, 2, {}, 0);
  stopped.stopRequested = true;
  RunEnding stoppedEarly = ending(0, 0, {}, 0);
  stoppedEarly.stopRequested = true;
  RunEnding uncounted = ending(0, 0, {}, 0);
  uncounted.pairsCounted = false;
  const Case cases[] = {
      {ending(0, 3, {}, 0), "Linking Done: /runs/a.ini"},
      {ending(8, 1, {}, 0), "Error: (8) in Linking: /runs/a.ini"},
      {ending(2, 0, {2}, 1), "Error: (2) in Linking: /runs/a.ini"},
      {ending(0, 0, {1, 2}, 0), "Nothing linked, every pair failed and was skipped: /runs/a.ini"},
      {ending(0, 2, {2}, 0), "Linking Done, 1 of 3 pairs skipped (entry 2): /runs/a.ini"},
      {ending(0, 1, {2, 4}, 0), "Linking Done, 2 of 3 pairs skipped (entries 2, 4): /runs/a.ini"},
      {ending(0, 2, {}, 1),
       "Linking Done, 1 report block not written to the report file: /runs/a.ini"},
      {ending(0, 2, {3}, 2),
       "Linking Done, 1 of 3 pairs skipped (entry 3), 2 report blocks not written to the report "
       "file: /runs/a.ini"},
      {stopped, "Linking stopped by the user, 2 pairs linked: /runs/a.ini"},
      {stoppedEarly, "Nothing linked, stopped by the user: /runs/a.ini"},
      {uncounted, "Linking Done: /runs/a.ini"},
  };
  for (const Case& c : cases) EXPECT_EQ(runEndingText(c.ending), c.text);
}

TEST(RunEnding, DocumentedTextKnowsOnlyTheStatus) {
  EXPECT_EQ(documentedStatusText(ending(0, 0, {1}, 1)), "Linking Done: /runs/a.ini");
  EXPECT_EQ(documentedStatusText(ending(10, 0, {}, 0)), "Error: (10) in Linking: /runs/a.ini");
}
