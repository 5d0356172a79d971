// Every page of the fixture project (tests/fixtures/site/site.vrk), generated
// from the shipped templates and compared byte for byte with its golden file
// under tests/fixtures/site/golden/. scripts/golden writes them anew
// (QF_UPDATE_GOLDEN=1), so every change of output is a reviewed diff.

#include "TestSupport.h"
#include "core/Files.h"
#include "generator/PhpMain.h"
#include "model/XMLIO.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

namespace {

namespace fs = std::filesystem;

// The generated pages below a folder (not the copies of data/), by relative path.
std::map<std::string, std::string> Pages(const std::string& dir) {
  std::map<std::string, std::string> pages;
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    const std::string path = fs::relative(entry.path(), dir).string();
    const bool copied = path.starts_with("theme/") || path.starts_with("scripts/") || path == "left.html" ||
                        (path.starts_with("general/") &&
                         fs::exists(qftest::SourceDir() + "/data/scripts/" + entry.path().filename().string()));
    if (entry.is_regular_file() && !copied) pages[path] = qftest::ReadFile(entry.path());
  }
  return pages;
}

TEST(GoldenSiteTest, EveryPageOfTheFixtureProjectMatchesItsGoldenFile) {
  const std::string fixture = qftest::SourceDir() + "/tests/fixtures/site/";
  TProjectManager project;
  XMLManager().LoadProject(fixture + "site.vrk", project);
  qftest::TempDir out;
  project.Project_output = out.Path();
  TMainPhpManager(project, qftest::SourceDir() + "/data/", "default", nullptr, nullptr).Generate();
  const auto pages = Pages(out.Path());
  ASSERT_EQ(pages.size(), 4 + 5 * project.Tables.size());

  const std::string golden = fixture + "golden";
  if (const char* update = std::getenv("QF_UPDATE_GOLDEN"); update && *update == '1') {
    fs::remove_all(golden);
    for (const auto& [path, text] : pages) {
      fs::create_directories(fs::path(golden + "/" + path).parent_path());
      qftest::WriteFile(golden + "/" + path, text);
    }
    return;
  }
  const auto expected = Pages(golden);
  for (const auto& [path, text] : pages) {
    const auto it = expected.find(path);
    if (it == expected.end())
      ADD_FAILURE() << path << " has no golden file (scripts/golden writes it)";
    else
      EXPECT_EQ(text, it->second) << path << " differs from its golden file (scripts/golden shows the diff)";
  }
  for (const auto& [path, text] : expected) EXPECT_TRUE(pages.count(path)) << path << " is no longer generated";
}

}  // namespace
