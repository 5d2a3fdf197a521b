// Opening a text file for reading, for every reader of outside files.
//
// A folder opens as a stream on Linux, and reading it then throws from the stream buffer; it
// is refused here, as a file that cannot be opened.
#pragma once

#include <fstream>
#include <string>

// Opens path in binary mode; false when it is a folder or cannot be opened.
bool openTextFile(const std::string& path, std::ifstream& in);
