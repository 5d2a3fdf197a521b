// Splitting one line of a data file into fields.
//
// With separator ' ' the fields are the line's whitespace-separated words, as item files have
// always been read. With another separator (',', ';' or '\t') the line is cut at every
// separator: two separators in a row make an empty field, blanks around a field are not part
// of it, and a field that starts with a double quote runs to the closing quote, separators
// included, with "" inside it standing for one quote (the quoting R's write.csv and pandas'
// to_csv write). A line of nothing but blanks holds no field. A CR before the line end is a
// blank, so CR LF files read like LF ones.
#pragma once

#include <string>
#include <string_view>
#include <vector>

std::vector<std::string> splitFields(std::string_view line, char separator);
