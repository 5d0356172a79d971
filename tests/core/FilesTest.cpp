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
  EXPECT_EQ(ExtractFilePath("/a/b/c.txt") + "|" + ExtractFilePath("c.txt") + "|" + ExtractFileName("/a/b/c.txt"),
            "/a/b/||c.txt");
  EXPECT_EQ(IncludeTrailingPathDelimiter("/a") + IncludeTrailingPathDelimiter("/a/"), "/a//a/");
}

TEST(Files, FindFilesAndForceDirectories) {
  TempDir dir;
  for (const char* name : {"a.css", "B.CSS", "c.gif"}) WriteFile(dir.File(name), name);
  ForceDirectories(dir.File("sub.css/x/y"));
  ForceDirectories(dir.File("sub.css/x/y"));  // an existing folder is fine
  EXPECT_EQ(FindFiles(dir.Path(), "*.css"), (Names{"B.CSS", "a.css", "sub.css"}));
  EXPECT_TRUE(FindFiles(dir.File("missing"), "*").empty());
  EXPECT_THROW(ForceDirectories(dir.File("a.css/sub")), EInOutError);
  EXPECT_THROW(ForceDirectories(dir.File("a.css")), EInOutError);
  EXPECT_TRUE(FileExists(dir.File("a.css")) && !FileExists(dir.File("sub.css")));
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

// As a user without the right to write everywhere: a file that may not be
// written, a folder or a missing folder in the way fail the write, change
// nothing and leave no temporary file; a write through a symbolic link
// replaces the file the link names and keeps the link.
TEST(Files, AtomicWriteReplacesWholeOrNothing) {
  QF_RUN_UNPRIVILEGED();
  TempDir dir;
  WriteFileAtomic(dir.File("file"), std::string(1000, 'x'));
  ::chmod(dir.File("file").c_str(), 0640);
  WriteFileAtomic(dir.File("file"), "old");
  struct stat st {};
  EXPECT_TRUE(::stat(dir.File("file").c_str(), &st) == 0 && (st.st_mode & 0777) == 0640) << "permissions kept";
  ForceDirectories(dir.File("folder"));
  WriteFile(dir.File("locked"), "locked");
  ::chmod(dir.File("locked").c_str(), 0444);
  const std::pair<const char*, const char*> links[] = {
      {"rel", "file"}, {"abs", nullptr}, {"chain", "rel"}, {"dangling", "folder/new"}, {"tolocked", "locked"}};
  for (const auto& [link, to] : links)
    ASSERT_EQ(::symlink(to ? to : dir.File("file").c_str(), dir.File(link).c_str()), 0) << link;

  for (const char* name : {"rel", "abs", "chain", "dangling"}) {
    WriteFileAtomic(dir.File(name), name);
    EXPECT_TRUE(::lstat(dir.File(name).c_str(), &st) == 0 && S_ISLNK(st.st_mode)) << name;
    EXPECT_EQ(ReadFile(dir.File(name)), name);
  }
  EXPECT_EQ(ReadFile(dir.File("file")) + ReadFile(dir.File("folder/new")), "chaindangling");
  for (const char* name : {"locked", "tolocked", "folder", "missing/file"})
    EXPECT_THROW(WriteFileAtomic(dir.File(name), "new"), EFCreateError) << name;
  EXPECT_EQ(ReadFile(dir.File("locked")), "locked");
  EXPECT_TRUE(::lstat(dir.File("tolocked").c_str(), &st) == 0 && S_ISLNK(st.st_mode));
  EXPECT_EQ(FindFiles(dir.Path(), "*"), (Names{"abs", "chain", "dangling", "file", "folder", "locked", "rel",
                                               "tolocked"}));
  EXPECT_EQ(FindFiles(dir.File("folder"), "*"), Names{"new"});
}

}  // namespace
