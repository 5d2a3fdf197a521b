// A look at a data file as the item-file reader will take it: the words of its first record,
// each under the letter of the column format that takes it, and how many records the file
// holds. Shown beside a format in the Linking Parameters dialog, so that a wrong format or
// row-skip list is seen before a run.
#pragma once

#include <string>

// rowSkip with or without its braces; separator as the file's (' ': whitespace words).
// Returns one line of text, also when the file cannot be read or the format is empty (it then
// says so).
std::string firstRecordPreview(const std::string& path, const std::string& rowSkip,
                               const std::string& columnFormat, char separator = ' ');
