// Random input for the project-file reader: reshaped variants of the golden
// file. Loading must either succeed or raise one of our exceptions; a
// failed load leaves the project alone, and whatever loads saves and loads again
// to the same file.

#include "model/XMLIO.h"

#include "core/Exception.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <random>
#include <sstream>
#include <string>
#include <vector>

using qftest::ReadFile;
using qftest::TempDir;
using qftest::WriteFile;

namespace {

/** Counts tables added and what the progress window is asked to do. */
struct Counter : ITableListener, IProgressDisplay {
  void TableAdded(const TWebTable&) override { ++Added; }
  void TableRemoved(const std::string&, const std::string&) override {}
  void Start() override { ++Starts; }
  void SetProgress(int percent) override { OutOfRange += percent < 0 || percent > 100; }
  void Finish() override { ++Finishes; }
  int Added = 0, Starts = 0, Finishes = 0, OutOfRange = 0;
};

const std::vector<std::string> kNames = {"Project", "Tables", "Table", "Rows", "Row", "ItemList", "Item", "Other"};
const std::vector<std::string> kValues = {"", " ", "TRUE", "-1", "2147483648", "Zürich 東京", "\r\n", "<&>\"'",
                                          "\xC3(", "a\x01" "b"};

/** A number from 0 to n. */
size_t Pick(std::mt19937& rng, size_t n) { return std::uniform_int_distribution<size_t>(0, n)(rng); }
const std::string& PickFrom(std::mt19937& rng, const std::vector<std::string>& v) { return v[Pick(rng, v.size() - 1)]; }

/** Well-formed variants (elements removed, copied, renamed or moved, texts and
 *  attributes changed or dropped): these reach the reader's rules, not the parser's. */
std::string MutateTree(const std::string& seed, std::mt19937& rng) {
  pugi::xml_document doc;
  doc.load_string(seed.c_str());
  for (size_t step = 0, steps = 1 + Pick(rng, 2); step < steps; ++step) {
    std::vector<pugi::xml_node> all;  // every element below the document element
    for (const pugi::xpath_node& x : doc.select_nodes("/*//*")) all.push_back(x.node());
    if (all.empty()) break;
    pugi::xml_node e = all[Pick(rng, all.size() - 1)];
    switch (Pick(rng, 6)) {
      case 0: e.parent().remove_child(e); break;
      case 1: e.parent().insert_copy_after(e, e); break;
      case 2: e.set_name(PickFrom(rng, kNames).c_str()); break;
      case 3: e.text().set(PickFrom(rng, kValues).c_str()); break;
      case 4: e.remove_attribute(e.first_attribute()); break;
      case 5: e.first_attribute().set_value(PickFrom(rng, kValues).c_str()); break;
      default: all[Pick(rng, all.size() - 1)].append_move(e); break;  // refused when that is inside e
    }
  }
  std::ostringstream os;
  doc.save(os);
  return os.str();
}

/** Loads one input and checks what a load promises; answers whether it loaded. */
bool CheckOneInput(const TempDir& dir, const std::string& input) {
  WriteFile(dir.File("fuzz.vrk"), input);
  TProjectManager p;
  p.ProjectName = "Untouched";
  Counter count;
  p.AddListener(&count);
  bool loaded = false;
  try {
    XMLManager().LoadProject(dir.File("fuzz.vrk"), p, &count);
    loaded = true;
  } catch (const Exception& e) {
    EXPECT_FALSE(e.Message().empty());
    EXPECT_EQ(p.ProjectName + std::to_string(p.GetTableCount()), "Untouched0");
  }  // anything else escapes and fails the test
  EXPECT_EQ(count.Added, p.GetTableCount());
  EXPECT_TRUE(count.Starts == 1 && count.Finishes == 1 && count.OutOfRange == 0);
  if (!loaded) return false;
  // Whatever was read is written so that it reads back the same.
  XMLManager().SaveProject(dir.File("first.vrk"), p);
  TProjectManager q;
  XMLManager().LoadProject(dir.File("first.vrk"), q);
  XMLManager().SaveProject(dir.File("second.vrk"), q);
  EXPECT_EQ(ReadFile(dir.File("first.vrk")), ReadFile(dir.File("second.vrk"))) << "input:\n" << input;
  return true;
}

TEST(ProjectFileFuzzTest, ReshapedFilesLoadOrFailCleanly) {
  TempDir dir;
  const std::string seed = ReadFile(qftest::SourceDir() + "/tests/fixtures/projects/golden.vrk");
  int loaded = 0, rejected = 0;
  for (unsigned s = 1; s <= 1500 && !HasFailure(); ++s) {
    SCOPED_TRACE("seed " + std::to_string(s));
    std::mt19937 rng(s);
    (CheckOneInput(dir, MutateTree(seed, rng)) ? loaded : rejected)++;
  }
  EXPECT_GE(loaded, 500);  // both outcomes must occur, or the inputs do not do their job
  EXPECT_GE(rejected, 5);
}

TEST(ProjectFileFuzzTest, DeepNestingAndLargeCountsDoNotHang) {
  TempDir dir;
  std::string deep = "<B><P name=\"d\"><Tables><Table><Rows><Row Database_field=\"f\" Type=\"t\"><ItemList>";
  for (int i = 0; i < 20000; ++i) deep += "<Item>";
  EXPECT_FALSE(CheckOneInput(dir, deep));  // unclosed
  for (int i = 0; i < 20000; ++i) deep += "</Item>";
  std::string many = "</ItemList></Row></Rows></Table>";
  for (int i = 0; i < 5000; ++i) many += "<Table Name=\"t\"/>";
  EXPECT_TRUE(CheckOneInput(dir, deep + many + "</Tables></P></B>"));
}

}  // namespace
