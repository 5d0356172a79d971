#include "core/Exception.h"
#include "core/Files.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using qftest::ReadFile;
using qftest::TempDir;
using qftest::WriteFile;

TEST(Files, MaskMatchingIsCaseInsensitiveWithWildcards) {
  struct Case {
    const char* name;
    const char* mask;
    bool match;
  } cases[] = {
      {"style.css", "*.css", true},  {"STYLE.CSS", "*.css", true}, {"style.css.bak", "*.css", false},
      {"a.gif", "*.*", true},        {"noext", "*.*", false},      {"noext", "*", true},
      {"", "*", true},               {"abc", "a?c", true},         {"ac", "a?c", false},
      {"left.html", "left.html", true}, {"xleft.html", "left.html", false},
      {"aXbXc", "a*b*c", true},      {"aXbX", "a*b*c", false},     {"\xC3\xA4.css", "*.CSS", true},
  };
  for (const auto& c : cases) EXPECT_EQ(MatchesMask(c.name, c.mask), c.match) << c.name << " ~ " << c.mask;
}

TEST(Files, FindFilesListsMatchingEntriesIncludingFolders) {
  TempDir dir;
  WriteFile(dir.File("a.css"), "a");
  WriteFile(dir.File("B.CSS"), "b");
  WriteFile(dir.File("c.gif"), "c");
  ForceDirectories(dir.File("sub.css"));
  EXPECT_EQ(FindFiles(dir.Path(), "*.css"), (std::vector<std::string>{"B.CSS", "a.css", "sub.css"}));
  EXPECT_TRUE(FindFiles(dir.File("missing"), "*").empty());
}

TEST(Files, ForceDirectoriesCreatesParentsAndFailsOnFile) {
  TempDir dir;
  const std::string deep = dir.File("x/y/z");
  ForceDirectories(deep);
  EXPECT_TRUE(DirectoryExists(deep));
  ForceDirectories(deep);  // existing folder is fine
  WriteFile(dir.File("file"), "");
  EXPECT_THROW(ForceDirectories(dir.File("file/sub")), EInOutError);
  EXPECT_THROW(ForceDirectories(dir.File("file")), EInOutError);
  EXPECT_TRUE(FileExists(dir.File("file")));
  EXPECT_FALSE(FileExists(deep));
}

TEST(Files, CopyReplacesTargetAndRefusesToCopyOntoItself) {
  TempDir dir;
  WriteFile(dir.File("src"), std::string("binary\0data", 11));
  WriteFile(dir.File("dst"), "a much longer old content that must disappear");
  CopyFileContent(dir.File("src"), dir.File("dst"));
  EXPECT_EQ(ReadFile(dir.File("dst")), std::string("binary\0data", 11));

  // Same path, a path spelled differently, and a hard link: all the same file.
  EXPECT_THROW(CopyFileContent(dir.File("src"), dir.File("src")), EInOutError);
  EXPECT_THROW(CopyFileContent(dir.File("src"), dir.Path() + "/./src"), EInOutError);
  ASSERT_EQ(::link(dir.File("src").c_str(), dir.File("hard").c_str()), 0);
  EXPECT_THROW(CopyFileContent(dir.File("hard"), dir.File("src")), EInOutError);
  EXPECT_EQ(ReadFile(dir.File("src")), std::string("binary\0data", 11));

  EXPECT_THROW(CopyFileContent(dir.File("missing"), dir.File("dst")), EFOpenError);
  EXPECT_EQ(ReadFile(dir.File("dst")), std::string("binary\0data", 11)) << "a failed copy must not truncate";
  EXPECT_THROW(CopyFileContent(dir.File("src"), dir.File("nofolder/dst")), EFCreateError);
}

TEST(Files, AtomicWriteReplacesWholeOrNothing) {
  TempDir dir;
  const std::string target = dir.File("project.vrk");
  WriteFileAtomic(target, "first");
  EXPECT_EQ(ReadFile(target), "first");
  ::chmod(target.c_str(), 0640);
  WriteFileAtomic(target, "second");
  EXPECT_EQ(ReadFile(target), "second");
  struct stat st {};
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u) << "permissions of the replaced file are kept";

  // A target that cannot be replaced (a folder) fails and leaves no temporary behind.
  ForceDirectories(dir.File("folder"));
  EXPECT_THROW(WriteFileAtomic(dir.File("folder"), "x"), EFCreateError);
  EXPECT_THROW(WriteFileAtomic(dir.File("missing/file"), "x"), EFCreateError);
  EXPECT_EQ(FindFiles(dir.Path(), "*"), (std::vector<std::string>{"folder", "project.vrk"}));
}

TEST(Files, PathHelpers) {
  EXPECT_EQ(ExtractFilePath("/a/b/c.txt"), "/a/b/");
  EXPECT_EQ(ExtractFilePath("c.txt"), "");
  EXPECT_EQ(ExtractFileName("/a/b/c.txt"), "c.txt");
  EXPECT_EQ(IncludeTrailingPathDelimiter("/a"), "/a/");
  EXPECT_EQ(IncludeTrailingPathDelimiter("/a/"), "/a/");
  EXPECT_FALSE(GetExecutablePath().empty());
  EXPECT_EQ(GetCurrentDir().back() == '/', GetCurrentDir() == "/");
}

}  // namespace
