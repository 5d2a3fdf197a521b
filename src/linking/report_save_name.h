// The file name an output window proposes when its report text is saved.
//
// The text of an output window is the report of a run, so its save dialog proposes the run's
// report file (Output_File_Name, resolved as a run resolves it) or, when the run writes none,
// the parameter file's base name with "-report.txt" in the parameter file's folder. It never
// proposes a file that an open run reads (its parameter file or a data file): saving there
// would destroy a run's input. Qt-free, so the rule is tested without a window.
#pragma once

#include <string>
#include <vector>

// The parameter file itself and every data file its entries name, resolved.
std::vector<std::string> filesReadByRun(const std::string& parameterFile);

// The name to propose for the report text of a run of parameterFile; namesInUse are the files
// the open runs read (filesReadByRun of each).
std::string proposedReportName(const std::string& parameterFile,
                               const std::vector<std::string>& namesInUse);
