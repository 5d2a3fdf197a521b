#include "params/choice_list.h"

#include <algorithm>
#include <string_view>

#include "params/token_reader.h"

namespace {

bool startsSection(const std::string& token) { return !token.empty() && token[0] == '['; }

std::string blanksForUnderscores(std::string text) {
  std::replace(text.begin(), text.end(), '_', ' ');
  return text;
}

enum class Section {
  None,
  Title,
  Dimension,
  Model,
  Parameterization,
  Grid,
  RangeEnd,
  RangeBegin,
  Formats,
  FileRoles
};

Section sectionOf(const std::string& token) {
  struct Marker {
    const char* text;
    Section section;
  };
  static constexpr Marker kMarkers[] = {
      {"[Dailog_Title]", Section::Title},      {"[Theta_Dimension]", Section::Dimension},
      {"[Model_Type]", Section::Model},        {"[Parameterization]", Section::Parameterization},
      {"[Grid_Point_Number]", Section::Grid},  {"[Grid_Range_E]", Section::RangeEnd},
      {"[Grid_Range_B]", Section::RangeBegin}, {"[R_C_FORMAT]", Section::Formats},
      {"[FILE_TYPE]", Section::FileRoles},
  };
  for (const Marker& marker : kMarkers) {
    if (tokenIsKey(token, marker.text)) return marker.section;
  }
  return Section::None;
}

// Reads the next token into token; false at the end. A token that begins with "[" ends the
// section and stays in token to be looked at as the next marker.
bool nextEntry(TokenReader& reader, std::string& token, bool& ended) {
  if (!reader.next(token)) {
    ended = true;
    return false;
  }
  return !startsSection(token);
}

// Fills the options of preset from token when every comma-separated word of it is an option
// word; otherwise leaves preset without options.
void readFormatOptions(const std::string& token, FormatPreset& preset) {
  FormatPreset read;
  std::size_t begin = 0;
  while (true) {
    const std::size_t end = std::min(token.find(',', begin), token.size());
    const std::string_view word = std::string_view(token).substr(begin, end - begin);
    if (tokenIsKey(word, "comma")) {
      read.separator = ',';
    } else if (tokenIsKey(word, "semicolon")) {
      read.separator = ';';
    } else if (tokenIsKey(word, "tab")) {
      read.separator = '\t';
    } else if (tokenIsKey(word, "line")) {
      read.oneRecordPerLine = true;
    } else if (tokenIsKey(word, "normal")) {
      read.normalMetric = true;
    } else if (tokenIsKey(word, "logistic")) {
      read.normalMetric = false;
    } else {
      return;
    }
    if (end == token.size()) break;
    begin = end + 1;
  }
  preset.hasOptions = true;
  preset.separator = read.separator;
  preset.oneRecordPerLine = read.oneRecordPerLine;
  preset.normalMetric = read.normalMetric;
}

}  // namespace

std::string entryCode(const std::string& entry) { return entry.substr(0, entry.find(' ')); }

ChoiceList readChoiceList(std::istream& in) {
  ChoiceList list;
  TokenReader reader(in);
  std::string token;
  bool ended = !reader.next(token);
  while (!ended) {
    const Section section = sectionOf(token);
    if (section == Section::None) {
      ended = !reader.next(token);
      continue;
    }
    std::vector<std::string>* entries = nullptr;
    bool describe = false;
    switch (section) {
      case Section::Dimension:
        entries = &list.dimensions;
        break;
      case Section::Model:
        entries = &list.models;
        describe = true;
        break;
      case Section::Parameterization:
        entries = &list.parameterizations;
        describe = true;
        break;
      case Section::Grid:
        entries = &list.gridPoints;
        break;
      case Section::RangeEnd:
        entries = &list.rangeEnds;
        break;
      case Section::RangeBegin:
        entries = &list.rangeBegins;
        break;
      case Section::FileRoles:
        entries = &list.fileRoles;
        break;
      default:
        break;
    }
    if (entries != nullptr) {
      while (nextEntry(reader, token, ended)) {
        entries->push_back(describe ? blanksForUnderscores(token) : token);
      }
    } else if (section == Section::Title) {
      list.titlePrefix.clear();
      // The first token after the marker is not part of the title.
      if (nextEntry(reader, token, ended)) {
        while (nextEntry(reader, token, ended)) {
          if (!list.titlePrefix.empty()) list.titlePrefix += ' ';
          list.titlePrefix += token;
        }
      }
    } else {  // formats: "$Name", options, row-skip text, column format
      bool more = nextEntry(reader, token, ended);
      while (more) {
        if (token[0] != '$') {
          more = nextEntry(reader, token, ended);
          continue;
        }
        FormatPreset preset;
        preset.name = blanksForUnderscores(token.substr(1));
        std::string options;
        std::string* fields[] = {&options, &preset.rowSkip, &preset.columnFormat};
        more = true;
        for (std::string* field : fields) {
          more = nextEntry(reader, token, ended);
          if (!more) break;
          *field = token;
        }
        readFormatOptions(options, preset);
        list.formats.push_back(std::move(preset));
        // Tokens after the column format up to the next entry are skipped.
        while (more && token[0] != '$') more = nextEntry(reader, token, ended);
      }
    }
  }
  return list;
}
