#include "support/link_process.h"

#include <sys/wait.h>

#include <cstdlib>

LinkProcess runTorvakLink(const TempDir& dir, const std::string& arguments,
                          const std::string& shellPrefix) {
  const std::string out = dir.file("stdout.txt"), err = dir.file("stderr.txt");
  const std::string command = shellPrefix + " exec " + TORVAK_LINK_EXE + " " + arguments + " >" +
                              out + " 2>" + err + " </dev/null";
  const int raw = std::system(command.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readWholeFile(out), readWholeFile(err)};
}
