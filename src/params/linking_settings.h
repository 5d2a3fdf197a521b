// LinkingSettings: every value of one linking parameter file.
//
// A linking parameter file is a text of whitespace-separated tokens with keys such as
// "Model_Type=" followed by their value token; the readers in token_reader.h and
// settings_keys.h fill this record and parameter_file.h writes it back. Each field
// below names its key and default. Texts have no length limit.
#pragma once

#include <string>

// One data file: its name, column format, row-skip list, type and how its lines split.
struct DataFileSpec {
  std::string name;          // file name or path
  std::string columnFormat;  // one letter per value of a record: A B C D G N T X
  std::string rowSkip;       // row-skip list as written in the parameter file, braces included
  int fileType = 0;          // 0: values as read; non-zero: "1.702(normal)", scaled when asked
  // "..._Separator=": ' ' (blank, the default) whitespace words; ',' comma, ';' semicolon,
  // '\t' tab: separated fields, quoted as in CSV files, one record per line.
  char separator = ' ';
  // "..._One_Record_Per_Line=": 0 (default) records may wrap over lines; 1 each line read is
  // one record and what is left at its end is ignored. A separator implies 1.
  int oneRecordPerLine = 0;
  // Whether each line read is one record (by either of the two fields above).
  bool recordsAreLines() const { return separator != ' ' || oneRecordPerLine != 0; }
};

struct LinkingSettings {
  int Parameterization = 1;          // "Parameterization="
  int Weighing_Method = 0;           // "Weighing_Method=": 0 plain sum, non-zero normal weights
  double Range_Begin = 4.0;          // "Range_Begin=" (begin above end: the loader resets it)
  double Range_End = -4.0;           // "Range_End="
  int Number_Of_Grid = 0;            // "Number_Of_Grid=": points per dimension; 0 = empirical
  int Theta_Dimension = 0;           // "Theta_Dimension=": 1 to 25
  int Model_Type = 0;                // "Model_Type=": 1, 3 or 4 select an engine
  double Tolerance = 1e-8;           // "Tolerance="
  int Number_Change_Direction = 15;  // "Number_Change_Direction="
  int Number_Step = 8;               // "Number_Step="
  double Initial_Step_Length = 1.0;  // "Initial_Step_Length="
  int Search_Method = 0;             // "Search_Method=": 0 built-in search settings
  std::string settingsPath;          // path the record was loaded from (set by the run loader)
  DataFileSpec toFile;               // "To_..." keys; second name of a data-file entry
  DataFileSpec fromFile;             // "From_..." keys; first name of a data-file entry
  // "Emp_..." keys; third name of an entry. fileType has no key: it starts at -1 and the
  // report writer keeps its first-write mode there.
  DataFileSpec empiricalFile{{}, {}, {}, -1};
  // name "Output_File_Name=", columnFormat "Other_File_1=", rowSkip "Other_File_2=",
  // fileType "Output_File_Type=" (1 replace, 0 append, -1 absent: replace).
  DataFileSpec outputFile{{}, {}, {}, -1};
};
