// A line of the dialog's pair list: the From name, the To name and, for an empirical run, the
// empirical theta file's name, one blank apart (names hold no blanks).
#pragma once

#include <string>

#include "params/parameter_file.h"

DataFilePair pairOfLine(const std::string& line);
