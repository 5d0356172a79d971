#include "core/Files.h"
#include "core/StringList.h"
#include "model/FileLogger.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <regex>
#include <unistd.h>

namespace {

TEST(FileLogger, WritesOnlyWhileTheFlagFileExists) {
  qftest::TempDir dir;
  qftest::ScopedCurrentDir cd(dir.Path());

  WriteLog("ignored");
  EXPECT_FALSE(FileExists("qfx.log"));

  qftest::WriteFile("logon", "");
  WriteLog("Generate begin");
  WriteLog("  step \xC3\xBC");
  ::unlink("logon");
  WriteLog("after the flag went");

  const std::string data = qftest::ReadFile("qfx.log");
  TStringList lines;
  lines.SetText(data);
  ASSERT_EQ(lines.Count(), 2) << data;
  EXPECT_EQ(data.substr(data.size() - 2), "\r\n");
  const std::regex form(R"(\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}  --  (.*))");
  std::smatch m;
  ASSERT_TRUE(std::regex_match(lines[0], m, form)) << lines[0];
  EXPECT_EQ(m[1], "Generate begin");
  ASSERT_TRUE(std::regex_match(lines[1], m, form)) << lines[1];
  EXPECT_EQ(m[1], "  step \xC3\xBC");

  // Logging is switched on again and appends.
  qftest::WriteFile("logon", "");
  WriteLog("again");
  lines.LoadFromFile("qfx.log");
  EXPECT_EQ(lines.Count(), 3);
}

TEST(FileLogger, NeverFailsWhenTheLogCannotBeWritten) {
  qftest::TempDir dir;
  qftest::ScopedCurrentDir cd(dir.Path());
  qftest::WriteFile("logon", "");
  ForceDirectories("qfx.log");  // a folder where the log should be
  EXPECT_NO_THROW(WriteLog("lost"));
  EXPECT_TRUE(DirectoryExists("qfx.log"));
}

}  // namespace
