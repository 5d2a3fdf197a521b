// Readers of a text stream: its words with the line of each, and its lines with their numbers.
#pragma once

#include <algorithm>
#include <cstddef>
#include <istream>
#include <streambuf>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace torvak_text {

inline bool isBlank(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Whitespace-separated words with the physical line of each, plus whole-line skipping.
class WordReader {
 public:
  explicit WordReader(std::istream& in) : buf_(in.rdbuf()) {}

  bool atEnd() const { return buf_ == nullptr || buf_->sgetc() == Traits::eof(); }

  // Skips white space; false when nothing else remains.
  bool skipBlank() {
    if (buf_ == nullptr) return false;
    int c = buf_->sgetc();
    while (c != Traits::eof() && isBlank(c)) {
      if (c == '\n') ++line_;
      c = buf_->snextc();
    }
    return c != Traits::eof();
  }

  bool word(std::string& text) {
    if (!skipBlank()) return false;
    text.clear();
    if (line_ != wordLine_) endLineOfWords();
    wordLine_ = line_;
    ++wordsOnLine_;
    for (int c = buf_->sgetc(); c != Traits::eof() && !isBlank(c); c = buf_->snextc()) {
      text.push_back(Traits::to_char_type(c));
    }
    return true;
  }

  // Reads up to and including the next line end; whether any character was not white space.
  bool restOfLine() {
    bool text = false;
    for (int c = buf_->sbumpc(); c != Traits::eof(); c = buf_->sbumpc()) {
      if (c == '\n') {
        ++line_;
        break;
      }
      if (!isBlank(c)) text = true;
    }
    return text;
  }

  // Physical line (from 1) of the last word read.
  long long wordLine() const { return wordLine_; }
  // Words read so far on the line of the last word.
  int wordsOnLine() const { return wordsOnLine_; }

  // Fewest and most words on the lines read to their end (the line in work while none is).
  int fewestWords() const { return most_ > 0 ? fewest_ : wordsOnLine_; }
  int mostWords() const { return most_ > 0 ? most_ : wordsOnLine_; }

 private:
  using Traits = std::streambuf::traits_type;

  void endLineOfWords() {
    if (wordsOnLine_ == 0) return;
    fewest_ = most_ == 0 ? wordsOnLine_ : std::min(fewest_, wordsOnLine_);
    most_ = std::max(most_, wordsOnLine_);
    wordsOnLine_ = 0;
  }

  std::streambuf* buf_;
  long long line_ = 1;
  long long wordLine_ = 1;
  int wordsOnLine_ = 0;
  int fewest_ = 0;
  int most_ = 0;
};

// Up to three lines where records and lines part ways, with the words each holds.
class LineMismatches {
 public:
  static constexpr std::size_t kMost = 3;

  // Notes line as a place where a record starts mid-line (its count is completed later).
  void note(long long line) {
    if (!lines_.empty() && lines_.back().first == line) return;
    if (lines_.size() < kMost) lines_.push_back({line, 0});
  }
  // Called after every word: keeps the count of a noted line up to date. Lines are noted in
  // reading order, so only the last one can be the line being read.
  void count(long long line, int wordsOnLine) {
    if (!lines_.empty() && lines_.back().first == line) lines_.back().second = wordsOnLine;
  }
  bool empty() const { return lines_.empty(); }
  long long firstLine() const { return lines_.empty() ? 0 : lines_.front().first; }
  // "line 7 holds 6 words, line 9 holds 4"
  std::string text() const {
    std::string out;
    for (const auto& [line, words] : lines_) {
      out += (out.empty() ? "line " : ", line ") + std::to_string(line) + " holds " +
             std::to_string(words) + (out.empty() ? " words" : "");
    }
    return out;
  }

 private:
  std::vector<std::pair<long long, int>> lines_;
};

// Lines of a stream with their physical numbers (from 1), CR LF read like LF.
class LineReader {
 public:
  explicit LineReader(std::istream& in) : buf_(in.rdbuf()) {}

  // The next line without its line end; false at the end of the stream.
  bool next(std::string& text) {
    using Traits = std::streambuf::traits_type;
    text.clear();
    if (buf_ == nullptr || buf_->sgetc() == Traits::eof()) return false;
    ++number_;
    for (int c = buf_->sbumpc(); c != Traits::eof() && c != '\n'; c = buf_->sbumpc()) {
      text.push_back(Traits::to_char_type(c));
    }
    if (!text.empty() && text.back() == '\r') text.pop_back();
    return true;
  }
  long long number() const { return number_; }

 private:
  std::streambuf* buf_;
  long long number_ = 0;
};

inline bool isBlankLine(std::string_view text) { return std::ranges::all_of(text, isBlank); }

}  // namespace torvak_text
