// Whole-file replacement that never leaves a half-written file behind.
//
// The content goes to a temporary file in the same folder, is flushed and checked, and is
// renamed over the target; any failure removes the temporary file and keeps the old one.
#pragma once

#include <string>

// Returns an empty string on success, otherwise a message naming the file and the cause.
std::string replaceFileContents(const std::string& path, const std::string& content);

// Appends text to a file (created when missing); same return convention.
std::string appendToFile(const std::string& path, const std::string& text);
