#include "cli/console_run_host.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

// A FILE* whose contents a test can read back.
struct Capture {
  std::FILE* file = std::tmpfile();
  ~Capture() { std::fclose(file); }
  std::string text() {
    std::fflush(file);
    std::rewind(file);
    std::string out;
    char buffer[256];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) out.append(buffer, got);
    return out;
  }
};

}  // namespace

TEST(ConsoleRunHost, MessagesGoToStderrAsCaptionAndText) {
  Capture out, err, in;
  ConsoleRunHost host(out.file, err.file, in.file, ProblemPolicy::Stop, false);
  host.showMessage("/data/from.txt", "No such file", MessageButtons::Ok);
  host.showMessage("Singular Matrix", "", MessageButtons::Ok);
  EXPECT_EQ(err.text(), "No such file: /data/from.txt\ntorvak-link: Singular Matrix\n");
  EXPECT_EQ(out.text(), "");
}

TEST(ConsoleRunHost, TheQuestionFollowsThePolicy) {
  Capture out, err, in;
  ConsoleRunHost stop(out.file, err.file, in.file, ProblemPolicy::Stop, false);
  EXPECT_EQ(stop.showMessage("Problem in Linking, Continue?", "", MessageButtons::OkCancel),
            MessageAnswer::Cancel);
  ConsoleRunHost go(out.file, err.file, in.file, ProblemPolicy::Continue, false);
  EXPECT_EQ(go.showMessage("Problem in Linking, Continue?", "", MessageButtons::OkCancel),
            MessageAnswer::Ok);

  std::fputs("maybe\ny\nn\n", in.file);
  std::rewind(in.file);
  ConsoleRunHost ask(out.file, err.file, in.file, ProblemPolicy::Ask, false);
  EXPECT_EQ(ask.showMessage("Problem in Linking, Continue?", "", MessageButtons::OkCancel),
            MessageAnswer::Ok);
  EXPECT_EQ(ask.showMessage("Problem in Linking, Continue?", "", MessageButtons::OkCancel),
            MessageAnswer::Cancel);
  // End of input answers Cancel rather than waiting.
  EXPECT_EQ(ask.showMessage("Problem in Linking, Continue?", "", MessageButtons::OkCancel),
            MessageAnswer::Cancel);
}

TEST(ConsoleRunHost, ReportTextReachesStdoutWithLfLineEnds) {
  Capture out, err, in;
  ConsoleRunHost host(out.file, err.file, in.file, ProblemPolicy::Stop, false);
  host.insertReportText("a(0),b(0)\r\n1.0 \r\n***\r\n");
  host.setStatusText("Linking Done: run.ini");
  EXPECT_EQ(out.text(), "a(0),b(0)\n1.0 \n***\n");
  EXPECT_EQ(err.text(), "Linking Done: run.ini\n");
}

TEST(ConsoleRunHost, ProgressLineOnlyWhenAsked) {
  Capture out, err, in;
  ConsoleRunHost quiet(out.file, err.file, in.file, ProblemPolicy::Stop, false);
  quiet.postProgress({"from.txt", "to.txt", "", 0});
  EXPECT_EQ(err.text(), "");
  ConsoleRunHost shown(out.file, err.file, in.file, ProblemPolicy::Stop, true);
  shown.postProgress({"from.txt", "to.txt", "", 0});
  shown.postProgress({"from.txt", "to.txt", "", 0});
  const std::string text = err.text();
  EXPECT_NE(text.find("pair 2: from.txt -> to.txt"), std::string::npos) << text;
}
