#include "params/choice_list_file.h"

#include <fstream>

#include "params/text_file.h"

ChoiceListSearch findChoiceList(const std::vector<std::string>& folders) {
  ChoiceListSearch search;
  for (const std::string& folder : folders) {
    if (folder.empty()) continue;
    std::string path = folder;
    if (path.back() != '/') path += '/';
    path += kChoiceListName;
    search.tried.push_back(path);
    std::ifstream in;
    if (!openTextFile(path, in)) continue;
    search.found = true;
    search.path = path;
    search.list = readChoiceList(in);
    break;
  }
  return search;
}

std::string missingChoiceListText(const ChoiceListSearch& search) {
  std::string text = std::string("File ") + kChoiceListName + " missing\n\nLooked for:";
  for (const std::string& path : search.tried) text += "\n" + path;
  return text;
}
