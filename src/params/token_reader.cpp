#include "params/token_reader.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <ios>
#include <system_error>

namespace {

bool isBlank(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// from_chars takes no leading "+", while the C conversions the files were written for do.
std::string_view dropPlus(std::string_view token) {
  if (token.size() > 1 && token[0] == '+' && token[1] != '-' && token[1] != '+') {
    token.remove_prefix(1);
  }
  return token;
}

}  // namespace

bool TokenReader::next(std::string& token) {
  // A stream buffer throws on a read error (an I/O error, a folder); that ends the text.
  try {
    return readToken(token);
  } catch (const std::ios_base::failure&) {
    readError_ = true;
    return false;
  }
}

bool TokenReader::readToken(std::string& token) {
  std::streambuf* buf = in_.rdbuf();
  if (buf == nullptr) return false;
  using Traits = std::streambuf::traits_type;
  int c = buf->sgetc();
  while (c != Traits::eof() && isBlank(c)) {
    if (c == '\n') ++currentLine_;
    c = buf->snextc();
  }
  if (c == Traits::eof()) return false;
  token.clear();
  tokenLine_ = currentLine_;
  while (c != Traits::eof() && !isBlank(c)) {
    token.push_back(Traits::to_char_type(c));
    c = buf->snextc();
  }
  return true;
}

bool tokenIsKey(std::string_view token, std::string_view key) {
  if (token.size() != key.size()) return false;
  for (std::size_t i = 0; i < token.size(); ++i) {
    if (lower(token[i]) != lower(key[i])) return false;
  }
  return true;
}

bool parseIntToken(std::string_view token, int& value) {
  token = dropPlus(token);
  if (token.empty()) return false;
  int parsed = 0;
  auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), parsed);
  if (ec != std::errc() || end != token.data() + token.size()) return false;
  value = parsed;
  return true;
}

bool parseDoubleToken(std::string_view token, double& value) {
  token = dropPlus(token);
  if (token.empty()) return false;
  double parsed = 0.0;
  auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), parsed,
                                   std::chars_format::general);
  if (ec != std::errc() || end != token.data() + token.size() || !std::isfinite(parsed)) {
    return false;
  }
  value = parsed;
  return true;
}

bool parseLeadingInt(std::string_view token, long long& value) {
  std::string_view digits = dropPlus(token);
  long long parsed = 0;
  auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), parsed);
  if (ec != std::errc() || end == digits.data()) return false;
  value = parsed;
  return true;
}
