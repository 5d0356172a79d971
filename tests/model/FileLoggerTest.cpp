#include "core/Files.h"
#include "model/FileLogger.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <regex>
#include <unistd.h>

namespace {

TEST(FileLogger, WritesOnlyWhileTheFlagFileExistsAppendsAndNeverFails) {
  qftest::TempDir dir;
  qftest::ScopedCurrentDir cd(dir.Path());
  WriteLog("ignored");
  EXPECT_FALSE(FileExists("qfx.log"));
  qftest::WriteFile("logon", "");
  WriteLog("Generate begin");
  WriteLog("  step \xC3\xBC");
  ::unlink("logon");
  WriteLog("after the flag went");
  qftest::WriteFile("logon", "");
  WriteLog("again");

  std::string data = qftest::ReadFile("qfx.log");
  const std::regex stamp(R"(\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}  --  )");
  EXPECT_EQ(std::regex_replace(data, stamp, "|"), "|Generate begin\r\n|  step \xC3\xBC\r\n|again\r\n");

  ::unlink("qfx.log");
  ForceDirectories("qfx.log");  // a folder where the log should be
  EXPECT_NO_THROW(WriteLog("lost"));
  EXPECT_TRUE(DirectoryExists("qfx.log"));
}

}  // namespace
