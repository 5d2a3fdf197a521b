#include "linking/report_save_name.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "linking/run_settings.h"
#include "params/parameter_file.h"
#include "params/text_file.h"

namespace {

// The file as far as it can be read (a half-read file still names what it named so far).
ParameterFile readAsFarAsPossible(const std::string& path) {
  ParameterFile file;
  std::ifstream in;
  if (openTextFile(path, in)) readParameterFile(in, path, file);
  return file;
}

// Paths compared after "." and ".." are taken out, so that "a/./b" and "a/b" are one file.
std::string normal(const std::string& path) {
  return std::filesystem::path(path).lexically_normal().string();
}

bool inUse(const std::string& path, const std::vector<std::string>& namesInUse) {
  return std::any_of(namesInUse.begin(), namesInUse.end(),
                     [&](const std::string& name) { return normal(name) == normal(path); });
}

}  // namespace

std::vector<std::string> filesReadByRun(const std::string& parameterFile) {
  std::vector<std::string> names{parameterFile};
  for (const DataFilePair& pair : readAsFarAsPossible(parameterFile).pairs) {
    for (const std::string* name : {&pair.from, &pair.to, &pair.empirical}) {
      if (!name->empty()) names.push_back(resolveDataPath(parameterFile, *name));
    }
  }
  return names;
}

std::string proposedReportName(const std::string& parameterFile,
                               const std::vector<std::string>& namesInUse) {
  const std::string report =
      resolveDataPath(parameterFile, readAsFarAsPossible(parameterFile).settings.outputFile.name);
  if (!report.empty() && !inUse(report, namesInUse) && normal(report) != normal(parameterFile)) {
    return report;
  }
  const std::filesystem::path path(parameterFile);
  const std::string stem = (path.parent_path() / path.stem()).string();
  std::string name = stem + "-report.txt";
  for (int n = 2; inUse(name, namesInUse); ++n) name = stem + "-report-" + std::to_string(n) + ".txt";
  return name;
}
