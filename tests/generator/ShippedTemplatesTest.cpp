// The shipped table-page templates name exactly the variables and blocks that
// the generators fill: a misspelt variable would silently print nothing.

#include "TablePageTestSupport.h"

#include "core/StringList.h"

#include <map>
#include <set>

namespace {

using tablepages::TPageNames;

struct TTemplateNames {
  std::set<std::string> Blocks;
  // Variable -> the innermost block it stands in ("_ROOT" outside blocks).
  std::multimap<std::string, std::string> Variables;
};

// Reads block markers and {variables} as the engine does: a variable is a
// brace, a name without blanks and a closing brace.
TTemplateNames ReadTemplate(const std::string& path) {
  TStringList lines;
  lines.LoadFromFile(path);
  TTemplateNames names;
  std::vector<std::string> open = {"_ROOT"};
  for (const std::string& line : lines) {
    const size_t start = line.find("<!-- START BLOCK : ");
    const size_t end = line.find("<!-- END BLOCK : ");
    if (start != std::string::npos || end != std::string::npos) {
      const size_t from = line.find(" : ") + 3;
      const std::string name = line.substr(from, line.find(" -->") - from);
      if (start != std::string::npos) {
        names.Blocks.insert(name);
        open.push_back(name);
      } else if (open.size() > 1 && open.back() == name) {
        open.pop_back();
      } else {
        ADD_FAILURE() << path << ": unmatched end of block " << name;
      }
      continue;
    }
    for (size_t brace = line.find('{'); brace != std::string::npos; brace = line.find('{', brace + 1)) {
      const size_t next = line.find('{', brace + 1);
      const size_t close = line.find('}', brace + 1);
      if (close == std::string::npos || (next != std::string::npos && next < close)) continue;
      const std::string name = line.substr(brace + 1, close - brace - 1);
      if (!name.empty() && name.find_first_of(" \t") == std::string::npos) names.Variables.emplace(name, open.back());
    }
  }
  EXPECT_EQ(open.size(), 1u) << path << ": block left open: " << open.back();
  return names;
}

void ExpectTemplateMatches(const std::string& page, const TPageNames& names, const std::set<std::string>& unused) {
  SCOPED_TRACE(page);
  const TTemplateNames found = ReadTemplate(qftest::SourceDir() + "/data/tpl/" + page + ".tpl");

  std::set<std::string> blocks;
  for (const auto& block : names.Blocks) blocks.insert(block.Name);
  EXPECT_EQ(found.Blocks, blocks);

  std::set<std::string> expected;
  for (const std::string& global : names.Globals)
    if (!unused.count(global)) expected.insert(global);
  for (const auto& block : names.Blocks) {
    for (const std::string& variable : block.Variables) {
      expected.insert(variable);
      const auto [first, last] = found.Variables.equal_range(variable);
      for (auto it = first; it != last; ++it)
        EXPECT_EQ(it->second, block.Name) << variable << " stands outside its block";
    }
  }
  std::set<std::string> used;
  for (const auto& [variable, block] : found.Variables) used.insert(variable);
  EXPECT_EQ(used, expected);
}

TEST(ShippedTemplatesTest, TablePageTemplatesUseTheGeneratedNames) {
  ExpectTemplateMatches("list", tablepages::ListPageNames(), {});
  // The insert page has no row to find, so it does not use the key condition.
  ExpectTemplateMatches("insert", tablepages::InsertPageNames(), {"yzt_key"});
  ExpectTemplateMatches("update", tablepages::UpdatePageNames(), {});
  ExpectTemplateMatches("detail", tablepages::DetailPageNames(), {});
  ExpectTemplateMatches("delete", tablepages::DeletePageNames(), {});
}

}  // namespace
