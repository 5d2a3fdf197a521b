// Words of a linking parameter file that look like keys but that no reader takes.
//
// A key is read only as a whole word equal to a known key, "=" included, with its value in
// the next word. A word that holds "=" and is neither a known key, nor the value of one, nor
// a word of a "$Data_Files" entry (the number such as "2=", the file names) is read by no
// reader: the value it was meant to set silently keeps its default. findUnreadKeys lists
// such words with their line and, where a known key is near (a few letters apart, case
// ignored), the key probably meant. Values, no output: callers decide how to show them.
#pragma once

#include <istream>
#include <string>
#include <vector>

struct UnreadKey {
  enum Kind {
    Unknown,      // no known key is near
    Misspelt,     // "Modle_Type=": suggestion is the near key
    ValueJoined,  // "Model_Type=3": suggestion is "Model_Type= 3"
    LoneEquals,   // "Model_Type = 3": suggestion is "Model_Type="
    EntryNumber,  // "2=" without "$Data_Files" before it
  };
  Kind kind = Unknown;
  int line = 0;
  std::string word;
  std::string suggestion;
};

std::vector<UnreadKey> findUnreadKeys(std::istream& in);

// "line 3: 'Modle_Type=' is not a key that is read; did you mean 'Model_Type='?"
std::string describeUnreadKey(const UnreadKey& unread);

// Edit distance (insertions, deletions, substitutions, swaps of neighbours), case ignored.
int keyDistance(const std::string& a, const std::string& b);
