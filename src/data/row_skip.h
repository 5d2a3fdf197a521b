// Row-skip lists: which lines of a data file to pass over.
//
// A list such as {1-2,5,10S2,20S1R3} holds items that each start at a digit:
//   N followed by "," or "}"  skips line N
//   N-M                       skips lines N to M
//   NSk                       skips k lines from line N on
//   NSkRr                     from line N on, skips k lines and keeps r, repeatedly
// Anything that is not a digit separates items. A list of 2 characters or fewer skips nothing.
// Numbers that overflow an int, and NSkRr items with k + r = 0, match nothing.
#pragma once

#include <string_view>

// 1 when line (numbered from 1, blank lines not counted) is skipped by list, else 0.
int rowIsSkipped(std::string_view list, long long line);
