#include "support/bad_inputs.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;

const char* const kItems = "1.1 0.3 0.1\n0.8 -0.4 0.2\n1.3 0.9 0.15\n0.6 -1.1 0.05\n";

std::string keys(int model, int dimension, const std::string& format, const std::string& extra) {
  return "Model_Type= " + std::to_string(model) +
         "\nTheta_Dimension= " + std::to_string(dimension) +
         "\nNumber_Of_Grid= 5\nFrom_Column_Format= " + format + "\nTo_Column_Format= " + format +
         "\nOutput_File_Type= 1\n" + extra;
}

// A Model 1 run of the four-item pair with extra lines and the given entries.
std::string modelOne(const TempDir& dir, const std::string& extra,
                     const std::string& entries = "$Data_Files 1= from.txt to.txt\n") {
  dir.write("from.txt", kItems);
  dir.write("to.txt", kItems);
  return dir.write("run.ini",
                   keys(1, 1, "ADC", "Output_File_Name= report.txt\n" + extra) + entries);
}

std::string reportTo(const TempDir& dir, const std::string& report) {
  dir.write("from.txt", kItems);
  dir.write("to.txt", kItems);
  return dir.write("run.ini", keys(1, 1, "ADC", "Output_File_Name= " + report + "\n") +
                                  "$Data_Files 1= from.txt to.txt\n");
}

std::string binary() {
  std::string bytes;
  for (int i = 0; i < 4096; ++i) bytes.push_back(static_cast<char>((i * 7919) % 256));
  return bytes;
}

}  // namespace

const std::vector<BadInput>& badInputs() {
  static const std::vector<BadInput> inputs = {
      {"empty parameter file",
       [](const TempDir& d) { return d.write("run.ini", ""); },
       0,
       {72},
       "nothing was linked"},
      {"binary parameter file",
       [](const TempDir& d) { return d.write("run.ini", binary()); },
       0,
       {72},
       "nothing was linked"},
      {"parameter file is a folder",
       [](const TempDir& d) {
         fs::create_directories(d.path() / "run.ini");
         return d.file("run.ini");
       },
       1,
       {1},
       "Can't open initial file"},
      {"unreadable parameter file",
       [](const TempDir& d) {
         const std::string path = modelOne(d, "");
         ::chmod(path.c_str(), 0);
         return path;
       },
       1,
       {1},
       "Can't open initial file"},
      {"a line of several megabytes",
       [](const TempDir& d) { return modelOne(d, std::string(4 << 20, 'x') + "\n"); },
       0,
       {0},
       ""},
      {"binary item file",
       [](const TempDir& d) {
         const std::string path = modelOne(d, "");
         d.write("from.txt", binary());
         return path;
       },
       2,
       {2},
       "Faulty data file"},
      {"range of 1e400",
       [](const TempDir& d) { return modelOne(d, "Range_Begin= 1e400\n"); },
       1,
       {1},
       "Range_Begin= wants a number, found '1e400'"},
      {"grid count in hex",
       [](const TempDir& d) { return modelOne(d, "Number_Of_Grid= 0x10\n"); },
       1,
       {1},
       "Number_Of_Grid= wants a number, found '0x10'"},
      {"range of -0",
       [](const TempDir& d) { return modelOne(d, "Range_Begin= -0\n"); },
       0,
       {0},
       ""},
      {"nan and inf in an item file",
       [](const TempDir& d) {
         const std::string path = modelOne(d, "");
         d.write("from.txt", "1.1 nan 0.1\n0.8 -0.4 0.2\n1.3 inf 0.15\n0.6 -1.1 0.05\n");
         return path;
       },
       2,
       {2},
       "'nan' is not a number"},
      {"a key without a value at the end",
       [](const TempDir& d) {
         return modelOne(d, "", "$Data_Files 1= from.txt to.txt\nOther_File_1=");
       },
       0,
       {0},
       ""},
      {"thousands of entries",
       [](const TempDir& d) {
         std::string entries;
         for (int i = 1; i <= 2000; ++i) {
           entries += "$Data_Files " + std::to_string(i) + "= from.txt to.txt\n";
         }
         return modelOne(d, "", entries);
       },
       0,
       {0},
       ""},
      {"entry numbers that overflow an int",
       [](const TempDir& d) {
         return modelOne(d, "",
                         "$Data_Files 99999999999999999999= from.txt to.txt\n"
                         "$Data_Files 4294967298= from.txt to.txt\n");
       },
       0,
       {0},
       "are not numbered 1 to 2 in file order"},
      {"Theta_Dimension= 25 with a grid",
       [](const TempDir& d) {
         std::string items;
         unsigned state = 12345;  // a small generator: slopes of full rank
         auto next = [&state] {
           state = state * 1103515245u + 12345u;
           return ((state >> 16) % 1000) / 1000.0;
         };
         for (int j = 0; j < 40; ++j) {
           for (int k = 0; k < 25; ++k) items += std::to_string(0.3 + next()) + " ";
           items += std::to_string(next() - 0.5) + "\n";
         }
         d.write("from.txt", items);
         d.write("to.txt", items);
         return d.write("run.ini",
                        keys(1, 25, std::string(25, 'A') + "D", "Output_File_Name= report.txt\n") +
                            "$Data_Files 1= from.txt to.txt\n");
       },
       0,
       {0},
       ""},
      {"empirical file with fewer values than its format",
       [](const TempDir& d) {
         d.write("from.txt", kItems);
         d.write("to.txt", kItems);
         d.write("theta.txt", "0.5 1.0\n-0.5 0.2\n1.5\n");
         std::string text = keys(3, 1, "ADC", "Output_File_Name= report.txt\n");
         text.replace(text.find("Number_Of_Grid= 5"), 17, "Number_Of_Grid= 0");
         return d.write("run.ini", text +
                                       "Emp_Column_Format= TT\n"
                                       "$Data_Files 1= from.txt to.txt theta.txt\n");
       },
       2,
       {2},
       "theta.txt"},
      {"From file with fewer items than the To file",
       [](const TempDir& d) {
         const std::string path = modelOne(d, "");
         d.write("from.txt", "1.1 0.3 0.1\n0.8 -0.4 0.2\n");
         return path;
       },
       1,
       {1},
       "more records than the 2 expected"},
      {"report in a missing folder",
       [](const TempDir& d) { return reportTo(d, "gone/report.txt"); },
       0,
       {74},
       "Can't open output file"},
      {"report path is a folder",
       [](const TempDir& d) {
         fs::create_directories(d.path() / "folder");
         return reportTo(d, "folder");
       },
       0,
       {74},
       "Can't open output file"},
      {"report is a FIFO nobody reads",
       [](const TempDir& d) {
         ::mkfifo(d.file("pipe").c_str(), 0666);
         return reportTo(d, "pipe");
       },
       0,
       {74},
       "Can't open output file"},
      {"report is /dev/full",
       [](const TempDir& d) { return reportTo(d, "/dev/full"); },
       0,
       {74},
       "Can't open output file"},
  };
  return inputs;
}

std::string skipReason(const BadInput& input) {
  if (input.name == "unreadable parameter file" && ::geteuid() == 0) {
    return "root reads any file, so an unreadable file cannot be made here";
  }
  if (input.name == "report is /dev/full" && ::access("/dev/full", W_OK) != 0) {
    return "no writable /dev/full here";
  }
  return {};
}
