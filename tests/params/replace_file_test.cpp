#include "params/replace_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

int entriesIn(const fs::path& folder) {
  return static_cast<int>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

}  // namespace

TEST(ReplaceFile, ReplacesContentAndKeepsPermissions) {
  TempDir dir;
  const std::string path = dir.write("a.ini", "a much longer old content\n");
  ::chmod(path.c_str(), 0640);
  EXPECT_EQ(replaceFileContents(path, "new\n"), "");
  EXPECT_EQ(readWholeFile(path), "new\n");
  struct stat info;
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
  EXPECT_EQ(entriesIn(dir.path()), 1);  // no temporary file left
}

TEST(ReplaceFile, ReplacesTheTargetOfASymbolicLink) {
  TempDir dir;
  const std::string target = dir.write("real.ini", "old");
  const std::string link = dir.file("link.ini");
  fs::create_symlink(target, link);
  EXPECT_EQ(replaceFileContents(link, "new"), "");
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(readWholeFile(target), "new");
}

TEST(ReplaceFile, FailedWriteKeepsTheOldFile) {
  TempDir dir;
  const std::string path = dir.write("a.ini", "old\n");
  // A file-size limit makes the write itself fail, whatever the user's rights.
  struct rlimit saved;
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = saved;
  small.rlim_cur = 16;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const std::string message = replaceFileContents(path, std::string(100, 'x'));
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_NE(message.find("Can't write " + path), std::string::npos) << message;
  EXPECT_EQ(readWholeFile(path), "old\n");
  EXPECT_EQ(entriesIn(dir.path()), 1);
}

TEST(ReplaceFile, ReadOnlyFolderFailsAndKeepsTheOldFile) {
  TempDir dir;
  const std::string path = dir.write("sub/a.ini", "old\n");
  const fs::path folder = dir.path() / "sub";
  ::chmod(folder.c_str(), 0555);
  const bool writable = ::access(folder.c_str(), W_OK) == 0;  // privileged users pass anyway
  const std::string message = replaceFileContents(path, "new\n");
  ::chmod(folder.c_str(), 0755);
  if (writable) GTEST_SKIP() << "permissions do not bind this user";
  EXPECT_NE(message.find("Permission denied"), std::string::npos) << message;
  EXPECT_EQ(readWholeFile(path), "old\n");
}

TEST(ReplaceFile, RenameOntoAFolderFailsAndLeavesNoTemporaryFile) {
  TempDir dir;
  dir.write("busy/inside.txt", "x");
  EXPECT_NE(replaceFileContents(dir.file("busy"), "new"), "");
  EXPECT_TRUE(fs::is_directory(dir.path() / "busy"));
  EXPECT_EQ(entriesIn(dir.path()), 1);
}

TEST(ReplaceFile, MissingFolderIsReported) {
  TempDir dir;
  const std::string message = replaceFileContents(dir.file("none/a.ini"), "x");
  EXPECT_NE(message.find("No such file or directory"), std::string::npos) << message;
}

TEST(AppendToFile, CreatesThenAppends) {
  TempDir dir;
  const std::string path = dir.file("report.txt");
  EXPECT_EQ(appendToFile(path, "one\n"), "");
  EXPECT_EQ(appendToFile(path, "two\n"), "");
  EXPECT_EQ(readWholeFile(path), "one\ntwo\n");
  EXPECT_NE(appendToFile(dir.file("none/report.txt"), "x"), "");
}
