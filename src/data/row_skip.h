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

#include <string>
#include <string_view>
#include <vector>

// 1 when line (numbered from 1, blank lines not counted) is skipped by list, else 0.
int rowIsSkipped(std::string_view list, long long line);

// Why rowIsSkipped would read list (braces optional) otherwise than it looks: text that holds
// no item, or an item that matches no line (a single number not followed by "," or the end,
// a range that ends before it starts, a count of 0, a number that overflows). Empty when every
// item counts; "", "{}" and "0" skip nothing on purpose and pass.
std::string rowSkipListProblem(std::string_view list);

// The row-skip list, braces included, that skips the given lines (increasing): "{1-3,5}";
// "{}" for none.
std::string rowSkipListOf(const std::vector<long long>& lines);

// The row-skip list that keeps exactly the lines in kept (increasing) of lines 1..lastLine.
// When the kept lines come at a fixed step up to the end (an item line, then category lines,
// and so on), it says so with one NSkRr item instead of listing every skipped line.
std::string rowSkipListKeeping(const std::vector<long long>& kept, long long lastLine);
