// Counting the data lines of a data file before it is read.
//
// Lines are numbered from 1, counting only lines that hold a character other than white
// space; a line counts as data when its number is not skipped by the row-skip list. Lines
// of any length count once.
#pragma once

#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <string_view>

std::int64_t countDataLinesIn(std::istream& in, std::string_view rowSkip);

// Empty when the file cannot be opened.
std::optional<std::int64_t> countDataLinesOfFile(const std::string& path, std::string_view rowSkip);
