// Control IDs of the Linking Parameters dialog. Each control carries its ID in the
// "controlId" property and in its object name ("ID_1031"), so tests find it by ID.
#pragma once

namespace ParametersControl {
inline constexpr int Ok = 1;
inline constexpr int Cancel = 2;
inline constexpr int Link = 1000;
inline constexpr int Dimension = 1001;
inline constexpr int LinkFunctionType = 1002;
inline constexpr int SaveAs = 1003;
inline constexpr int Append = 1004;
inline constexpr int Overwrite = 1005;
inline constexpr int PickFile = 1006;
inline constexpr int ShowItem = 1007;
inline constexpr int Parameterization = 1008;
inline constexpr int NoOutput = 1009;
inline constexpr int WeighedSum = 1010;
inline constexpr int GridPoint = 1011;
inline constexpr int RangeBegin = 1012;
inline constexpr int RangeEnd = 1013;
inline constexpr int Type = 1017;
inline constexpr int Row = 1018;
inline constexpr int Column = 1019;
inline constexpr int Logistic = 1020;
inline constexpr int Normal = 1021;
inline constexpr int SaveShownFormat = 1022;
inline constexpr int FromButton = 1023;
inline constexpr int ToButton = 1024;
inline constexpr int EmpiricalButton = 1025;
inline constexpr int FromName = 1026;
inline constexpr int ToName = 1027;
inline constexpr int EmpiricalName = 1028;
inline constexpr int ReportSaveAs = 1029;
inline constexpr int ReportName = 1030;
inline constexpr int AddToList = 1031;
inline constexpr int DeleteFromList = 1032;
inline constexpr int PairList = 1033;
// Controls beyond the original template.
inline constexpr int SearchToggle = 1034;
inline constexpr int SearchMethod = 1035;
inline constexpr int Tolerance = 1036;
inline constexpr int NumberChangeDirection = 1037;
inline constexpr int NumberStep = 1038;
inline constexpr int InitialStepLength = 1039;
inline constexpr int OtherFile1 = 1040;
inline constexpr int OtherFile2 = 1041;
inline constexpr int Separator = 1042;
inline constexpr int RecordPerLine = 1043;
inline constexpr int DetectFormat = 1044;
}  // namespace ParametersControl
