// What a column name in a table's header says its values are, in the names the calibration
// programs and R's and Python's table writers give them (mirt, ltm, TAM, flexMIRT, pandas).
#pragma once

#include <string>

enum class ColumnMeaning {
  Unknown,           // a name no layout gives a meaning
  Slope,             // a, a1, z1, Dscrmn, B.Cat1.Dim1, ...
  Intercept,         // d, d1, (Intercept), ...: also a graded or partial credit item's d1 ..
  NegatedIntercept,  // TAM's AXsi_.Cat1
  Difficulty,        // b, b1, Dffclt, xsi.item, ...
  Guessing,          // g, c, Gussng, guess, ...
  Theta,             // F1, theta, EAP, EAP.Dim1, ...
  Scoring,           // mirt's ak0, ak1, ...: a partial credit item's category scores
  Other              // a column no letter reads: u, SE columns, SD.EAP, ...
};

// The name with one pair of surrounding double quotes removed, in lower case.
std::string lowerUnquoted(std::string name);

// What the name (quoted or not, letter case ignored) says; Unknown for names over 64
// characters, which no program writes.
ColumnMeaning columnMeaning(const std::string& name);

// The column letter that reads such a column: A, D, N, B, C, T, or X for the others (the
// category intercepts d1 .. of a polytomous table are read by E or Q, and ak1 by S, which the
// table's recogniser tells from its rows).
char letterForMeaning(ColumnMeaning meaning);
