// What the lines a row-skip list passes over say about the file's column format.
//
// Two silent misreads come from the lines before the first record:
// - a header row that names the columns is skipped unread, so a table whose columns mean
//   something else (a difficulty b where the format reads an intercept D) links a wrong
//   result. When the last skipped line before the first record names the columns, each name
//   is checked against the letter it stands under, and a contradiction is refused with the
//   line, the word, the letter and the format that would read the file;
// - blank lines are not counted by row-skip lists, so a skip list written for a header with
//   a blank line passes over the first item. A skipped line before the first record that
//   reads as a whole record of the format (every used word a number, guessing in range) is
//   noted once, with the skip list that would read it.
// A header may be one name shorter than the records (R's write.table leaves out the row-name
// column's name): it then stands over the record's last letters. Names that are not known
// are not checked, nor are columns past a record's first R (or past a C or G after an M),
// whose place varies with the item.
#pragma once

#include <istream>
#include <string>

#include "params/linking_settings.h"

struct SkippedLinesCheck {
  std::string refusal;  // a header contradicts the format: the file must not be read
  std::string note;     // a skipped line reads as a record: the run goes on and says so
};

// Reads in (the named file) up to its first record, splitting lines into fields at the file's
// separator, as the reader does.
SkippedLinesCheck checkSkippedLines(std::istream& in, const DataFileSpec& spec);
// The same for the named file; nothing to say when it cannot be opened (the reader says).
SkippedLinesCheck checkSkippedLinesOfFile(const DataFileSpec& spec);
