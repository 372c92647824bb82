// The built lumio-stations program: exit status and the two output streams.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "support/temp_dir.h"
#include "tool_test_support.h"

namespace lumio::test {
namespace {

struct ProgramRun {
  int status = -1;
  std::string out;
  std::string err;
};

ProgramRun RunProgram(const TempDir& dir, const std::string& args,
                      const std::string& out = "stdout") {
  const std::string outPath = out.starts_with("/") ? out : dir.File(out);
  const std::string command = std::string("'") + LUMIO_STATIONS_PROGRAM + "' " + args + " >'" +
                              outPath + "' 2>'" + dir.File("stderr") + "' </dev/null";
  const int raw = std::system(command.c_str());
  ProgramRun run;
  if (raw != -1 && WIFEXITED(raw)) run.status = WEXITSTATUS(raw);
  if (outPath != "/dev/full") run.out = ReadBytes(outPath);  // it reads as endless zeros
  run.err = ReadBytes(dir.File("stderr"));
  return run;
}

TEST(StationsProgram, PrintsOnlyWhatARunProduced) {
  TempDir dir;
  WriteBytes(dir.File("list.ini"), StoredLine("|1001|4|1|0|5|http://a|0|" + Gbk("新闻") + "|"));
  const ProgramRun ok = RunProgram(dir, "export '" + dir.File("list.ini") + "'");
  EXPECT_EQ(ok.status, 0);
  EXPECT_EQ(ok.out, Stations({"export", dir.File("list.ini")}).out);
  EXPECT_EQ(ok.err, "");

  const ProgramRun missing = RunProgram(dir, "export '" + dir.File("none.ini") + "'");
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.out, "");
  EXPECT_EQ(missing.err, "lumio-stations: " + dir.File("none.ini") + ": no such file\n");

  EXPECT_EQ(RunProgram(dir, "").status, 2);

  if (std::filesystem::exists("/dev/full")) {
    const ProgramRun full = RunProgram(dir, "export '" + dir.File("list.ini") + "'", "/dev/full");
    EXPECT_EQ(full.status, 1);
    EXPECT_EQ(full.err, "lumio-stations: cannot write standard output\n");
  }
}

}  // namespace
}  // namespace lumio::test
