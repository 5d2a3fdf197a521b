// TokenReader: reads a text as tokens, maximal runs of characters that are not white space.
//
// All readers of linking parameter files (and of the choice-list file) share these rules:
// keys are whole tokens compared without regard to case, numbers must fill their whole token.
// The reader remembers the line of the last token so that messages can name it.
#pragma once

#include <istream>
#include <string>
#include <string_view>

class TokenReader {
 public:
  explicit TokenReader(std::istream& in) : in_(in) {}

  // Reads the next token; false at the end of the text or on a read error.
  bool next(std::string& token);
  // Line (1-based) of the last token read.
  int line() const { return tokenLine_; }
  // Whether reading stopped because the stream failed (not at a normal end).
  bool readError() const { return readError_; }

 private:
  bool readToken(std::string& token);

  std::istream& in_;
  int currentLine_ = 1;
  int tokenLine_ = 0;
  bool readError_ = false;
};

// Whether token equals key, letter case ignored.
bool tokenIsKey(std::string_view token, std::string_view key);

// Whole-token numbers: decimal integer in int range; finite decimal floating-point number.
bool parseIntToken(std::string_view token, int& value);
bool parseDoubleToken(std::string_view token, double& value);

// The leading decimal integer of a token such as "2=" (false when it has none or overflows).
bool parseLeadingInt(std::string_view token, long long& value);
