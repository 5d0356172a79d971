#include "core/Exception.h"
#include "core/Files.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

namespace {

using qftest::ReadFile;
using qftest::TempDir;
using qftest::WriteFile;
using Names = std::vector<std::string>;

TEST(Files, MasksAndPaths) {
  const std::tuple<const char*, const char*, bool> cases[] = {
      {"style.css", "*.css", true},  {"STYLE.CSS", "*.css", true}, {"style.css.bak", "*.css", false},
      {"a.gif", "*.*", true},        {"noext", "*.*", false},      {"", "*", true},
      {"abc", "a?c", true},          {"ac", "a?c", false},         {"xleft.html", "left.html", false},
      {"aXbXc", "a*b*c", true},      {"aXbX", "a*b*c", false},     {"\xC3\xA4.css", "*.CSS", true}};
  for (auto [name, mask, match] : cases) EXPECT_EQ(MatchesMask(name, mask), match) << name << " ~ " << mask;
  EXPECT_EQ(ExtractFilePath("/a/b/c.txt"), "/a/b/");
  EXPECT_EQ(ExtractFilePath("c.txt"), "");
  EXPECT_EQ(ExtractFileName("/a/b/c.txt"), "c.txt");
  EXPECT_EQ(IncludeTrailingPathDelimiter("/a"), "/a/");
  EXPECT_EQ(IncludeTrailingPathDelimiter("/a/"), "/a/");
}

TEST(Files, FindFilesAndForceDirectories) {
  TempDir dir;
  WriteFile(dir.File("a.css"), "a");
  WriteFile(dir.File("B.CSS"), "b");
  WriteFile(dir.File("c.gif"), "c");
  ForceDirectories(dir.File("sub.css/x/y"));
  ForceDirectories(dir.File("sub.css/x/y"));  // an existing folder is fine
  EXPECT_TRUE(DirectoryExists(dir.File("sub.css/x/y")));
  EXPECT_EQ(FindFiles(dir.Path(), "*.css"), (Names{"B.CSS", "a.css", "sub.css"}));
  EXPECT_TRUE(FindFiles(dir.File("missing"), "*").empty());
  EXPECT_THROW(ForceDirectories(dir.File("a.css/sub")), EInOutError);
  EXPECT_THROW(ForceDirectories(dir.File("a.css")), EInOutError);
  EXPECT_TRUE(FileExists(dir.File("a.css")));
  EXPECT_FALSE(FileExists(dir.File("sub.css")));
}

TEST(Files, CopyReplacesTheTargetButNeverOntoItselfNorTruncatesOnFailure) {
  TempDir dir;
  const std::string data("binary\0data", 11);
  WriteFile(dir.File("src"), data);
  WriteFile(dir.File("dst"), "a much longer old content that must disappear");
  CopyFileContent(dir.File("src"), dir.File("dst"));
  EXPECT_EQ(ReadFile(dir.File("dst")), data);
  // Same path, a path spelled differently, and a hard link: all the same file.
  ASSERT_EQ(::link(dir.File("src").c_str(), dir.File("hard").c_str()), 0);
  for (const std::string& same : {dir.File("src"), dir.Path() + "/./src", dir.File("hard")})
    EXPECT_THROW(CopyFileContent(same, dir.File("src")), EInOutError) << same;
  EXPECT_EQ(ReadFile(dir.File("src")), data);
  EXPECT_THROW(CopyFileContent(dir.File("missing"), dir.File("dst")), EFOpenError);
  EXPECT_EQ(ReadFile(dir.File("dst")), data);
  EXPECT_THROW(CopyFileContent(dir.File("src"), dir.File("nofolder/dst")), EFCreateError);
}

TEST(Files, AtomicWriteReplacesWholeOrNothing) {
  TempDir dir;
  const std::string target = dir.File("project.vrk");
  WriteFileAtomic(target, "first");
  ::chmod(target.c_str(), 0640);
  WriteFileAtomic(target, "second");
  EXPECT_EQ(ReadFile(target), "second");
  struct stat st {};
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u) << "the replaced file's permissions are kept";
  // A target that cannot be replaced (a folder) fails, keeps what was there and leaves no temporary.
  ForceDirectories(dir.File("folder"));
  WriteFile(dir.File("folder/old"), "old");
  EXPECT_THROW(WriteFileAtomic(dir.File("folder"), "x"), EFCreateError);
  EXPECT_EQ(ReadFile(dir.File("folder/old")), "old");
  EXPECT_THROW(WriteFileAtomic(dir.File("missing/file"), "x"), EFCreateError);
  EXPECT_EQ(FindFiles(dir.Path(), "*"), (Names{"folder", "project.vrk"}));
}

}  // namespace
