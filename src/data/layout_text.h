// A data file's text as the layout recognisers look at it: its non-blank lines split into
// fields, each with its line number in the file and as row-skip lists count it.
#pragma once

#include <string>
#include <vector>

#include "data/layout_recognition.h"

struct TextLine {
  long long fileLine = 0;  // from 1, blank lines counted
  long long counted = 0;   // from 1, as row-skip lists count (blank lines not counted)
  std::vector<std::string> fields;
};

struct LayoutText {
  std::string name;
  char separator = ' ';
  std::vector<TextLine> lines;  // the non-blank lines
  long long lastCounted = 0;
};

// One recogniser's answer: a recognised layout, or how near the file came (0 not at all, up
// to 1) with the layout's name and why it does not fit.
struct LayoutAttempt {
  RecognizedLayout layout;
  double closeness = 0.0;
};

using LayoutRecogniser = LayoutAttempt (*)(const LayoutText&);

// The recognisers of the calibration programs' own layouts, and of tables with a header and
// without one, in the order they are tried.
LayoutAttempt recognizeFlexmirtPrm(const LayoutText& text);
LayoutAttempt recognizeIrtproPrm(const LayoutText& text);
LayoutAttempt recognizeBilogPar(const LayoutText& text);
LayoutAttempt recognizeBilogSco(const LayoutText& text);
LayoutAttempt recognizeParscalePar(const LayoutText& text);
LayoutAttempt recognizeNamedTable(const LayoutText& text);
LayoutAttempt recognizeNumberTable(const LayoutText& text);

// Helpers the recognisers share.
bool isNumberField(const std::string& field);   // a finite number as the reader reads it
double numberOf(const std::string& field);      // its value; 0 when it is none
bool isMissingField(const std::string& field);  // NA or empty
bool isCountField(const std::string& field, int low, int high, int& value);
LayoutAttempt missedLayout(const std::string& layout, double closeness, const std::string& why);
// A recognised layout whose format has the file's name and separator.
RecognizedLayout recognizedAs(const LayoutText& text, std::string layout);
std::string lineName(const TextLine& line);  // "line 12"
