#include "support/linking_fixture.h"

#include <cstdio>

std::string LinkingFixture::writeParameters(const std::vector<std::string>& keyLines,
                                            const std::vector<std::string>& entries) {
  std::string text = "[REDevar Parameters]\n";
  for (const auto& line : keyLines) text += line + "\n";
  text += "\n[Data File Names]\n";
  for (const auto& entry : entries) text += "$Data_Files " + entry + "\n";
  text += "\n[Other Parameters]\n";
  job.parameterFilePath = dir.write("run.ini", text);
  return job.parameterFilePath;
}

void LinkingFixture::writeWorkedExample() {
  writeItems("from.txt", {{1.0, 0.0}, {2.0, 0.0}});
  writeItems("to.txt", {{2.0, 1.0}, {4.0, 2.0}});
}

std::string LinkingFixture::writeItems(const std::string& name,
                                       const std::vector<std::vector<double>>& rows) {
  std::string text;
  for (const auto& row : rows) {
    for (std::size_t k = 0; k < row.size(); ++k) {
      char number[64];
      std::snprintf(number, sizeof number, "%.17g", row[k]);
      text += (k ? " " : "") + std::string(number);
    }
    text += "\n";
  }
  return dir.write(name, text);
}

std::vector<std::string> gridKeys(int model, int dimension, int gridPoints,
                                  const std::string& columnFormat) {
  return {"Model_Type= " + std::to_string(model),
          "Parameterization= 1",
          "Theta_Dimension= " + std::to_string(dimension),
          "Number_Of_Grid= " + std::to_string(gridPoints),
          "Range_Begin= -4",
          "Range_End= 4",
          "From_Column_Format= " + columnFormat,
          "From_File_Type= 0",
          "To_Column_Format= " + columnFormat,
          "To_File_Type= 0",
          "Output_File_Type= 1",
          "Output_File_Name= report.txt"};
}
