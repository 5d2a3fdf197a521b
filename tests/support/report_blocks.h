// Counting report blocks in a report file or in standard output, for tests.
#pragma once

#include <string>

// The number of blocks: each ends with the rule line of asterisks.
int countReportBlocks(const std::string& text);

// Whether text holds only whole report blocks (each ends with the rule line), or nothing.
bool onlyWholeBlocks(const std::string& text);
