// Random input for the project-file reader: damaged and reshaped variants of the
// golden file. Loading must either succeed or raise one of our exceptions; a
// failed load leaves the project alone, and whatever loads saves and loads again
// to the same file.

#include "model/XMLIO.h"

#include "core/Exception.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

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

const std::vector<std::string> kMarkup = {
    "<", ">", "</", "/>", "&", "&amp;", "&#0;", "&#x1F;", "&#13;", "&#xD800;", "&unknown;", "\"", "'", "=",
    "<![CDATA[", "]]>", "<!--", "-->", "<?pi x?>", "<!DOCTYPE x>", "<Row>", "</Row>", "<Table>", "</Table>",
    "<Tables>", "</Tables>", "<Row Database_field=\"f\" Type=\"t\">", "<ItemList><Item>a=b</Item></ItemList>",
    "<Project name=\"x\">", "</Project>", " name=\"\"", " Type=\"\"", "\xEF\xBB\xBF", "\xFF\xFE", "\xC3",
    "\xF4\x90\x80\x80", std::string(1, '\0'), "\r\n", "<iLength>99999999999</iLength>", "<RowNumber>-",
};
const std::vector<std::string> kNames = {
    "Brannoch_Project", "Project", "Tables", "Table", "Rows", "Row", "ItemList", "Item", "Key", "Caption",
    "RowNumber", "iLength", "iLDistinct", "SendMail", "CSS", "SiteCaption", "Other"};
const std::vector<std::string> kValues = {"", " ", "true", "TRUE", "false", "1", "-1", "0", "2147483647", "2147483648",
                                          "-2147483648", "abc", "Zürich 東京", "\r\n", "<&>\"'", "\t", "a=b=c"};

/** A number from 0 to n. */
size_t Pick(std::mt19937& rng, size_t n) { return std::uniform_int_distribution<size_t>(0, n)(rng); }

/** A few byte-level changes: a byte replaced, cut short, a range copied elsewhere or
 *  deleted, markup inserted. */
std::string Mutate(std::string s, std::mt19937& rng) {
  for (size_t step = 0, steps = 1 + Pick(rng, 3); step < steps; ++step) {
    const size_t at = Pick(rng, s.size()), len = Pick(rng, std::min<size_t>(s.size() - at, 300));
    switch (Pick(rng, 4)) {
      case 0: if (at < s.size()) s[at] = static_cast<char>(Pick(rng, 255)); break;
      case 1: s.resize(at); break;
      case 2: s.insert(Pick(rng, s.size()), s.substr(at, len)); break;
      case 3: s.erase(at, len); break;
      default: s.insert(at, kMarkup[Pick(rng, kMarkup.size() - 1)]); break;
    }
  }
  return s;
}

/** Well-formed variants: elements removed, copied, renamed or moved, texts and
 *  attributes changed or dropped. These reach the reader's rules rather than the parser's. */
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
      case 2: e.set_name(kNames[Pick(rng, kNames.size() - 1)].c_str()); break;
      case 3: e.text().set(kValues[Pick(rng, kValues.size() - 1)].c_str()); break;
      case 4: e.remove_attribute(e.first_attribute()); break;
      case 5: e.first_attribute().set_value(kValues[Pick(rng, kValues.size() - 1)].c_str()); break;
      default: all[Pick(rng, all.size() - 1)].append_move(e); break;  // refused when that is inside e
    }
  }
  std::ostringstream os;
  doc.save(os);
  return os.str();
}

/** A temporary folder in memory where there is one: every save ends with fsync,
 *  and thousands of them on a busy disk take longer than the reading under test. */
std::unique_ptr<TempDir> FastTempDir() {
  const char* old = std::getenv("TMPDIR");
  const std::string saved = old ? old : "";
  if (::access("/dev/shm", W_OK) == 0) ::setenv("TMPDIR", "/dev/shm", 1);
  auto dir = std::make_unique<TempDir>();
  if (old) ::setenv("TMPDIR", saved.c_str(), 1);
  else ::unsetenv("TMPDIR");
  return dir;
}

struct Tally {
  int Loaded = 0, Rejected = 0;
};

/** Loads one input and checks what a load promises. */
void CheckOneInput(const TempDir& dir, const std::string& input, Tally& tally) {
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
    ASSERT_FALSE(e.Message().empty());
    ++tally.Rejected;
    ASSERT_EQ(p.ProjectName, "Untouched");
    ASSERT_EQ(p.GetTableCount(), 0);
    ASSERT_EQ(count.Added, 0);
  } catch (const std::exception& e) {
    FAIL() << "unexpected exception type: " << e.what();
  }
  ASSERT_EQ(count.Starts, 1);
  ASSERT_EQ(count.Finishes, 1);
  ASSERT_EQ(count.OutOfRange, 0);
  if (!loaded) return;
  ++tally.Loaded;
  ASSERT_EQ(count.Added, p.GetTableCount());

  // Whatever was read is written so that it reads back the same.
  XMLManager().SaveProject(dir.File("first.vrk"), p);
  TProjectManager q;
  XMLManager().LoadProject(dir.File("first.vrk"), q);
  XMLManager().SaveProject(dir.File("second.vrk"), q);
  ASSERT_EQ(ReadFile(dir.File("first.vrk")), ReadFile(dir.File("second.vrk"))) << "input:\n" << input;
}

TEST(ProjectFileFuzzTest, RandomInputLoadsOrFailsCleanly) {
  const auto dir = FastTempDir();
  const std::string seed = ReadFile(qftest::SourceDir() + "/tests/fixtures/projects/golden.vrk");
  const struct {
    const char* Name;
    unsigned FirstSeed, Count;
    std::function<std::string(std::mt19937&)> Make;
    int MinLoaded, MinRejected;  // both outcomes must occur, or the inputs do not do their job
  } kinds[] = {
      {"bytes changed", 1, 2500, [&](std::mt19937& r) { return Mutate(seed, r); }, 100, 1000},
      {"elements reshaped", 50000, 1500, [&](std::mt19937& r) { return MutateTree(seed, r); }, 1000, 5},
  };
  for (const auto& k : kinds) {
    Tally tally;
    for (unsigned s = k.FirstSeed; s < k.FirstSeed + k.Count; ++s) {
      SCOPED_TRACE(std::string(k.Name) + ", seed " + std::to_string(s));
      std::mt19937 rng(s);
      CheckOneInput(*dir, k.Make(rng), tally);
      if (HasFatalFailure()) return;
    }
    EXPECT_GE(tally.Loaded, k.MinLoaded) << k.Name;
    EXPECT_GE(tally.Rejected, k.MinRejected) << k.Name;
  }
}

TEST(ProjectFileFuzzTest, DeepNestingAndLargeCountsDoNotHang) {
  TempDir dir;
  Tally tally;
  std::string deep = "<B><P name=\"d\"><Tables><Table><Rows><Row Database_field=\"f\" Type=\"t\"><ItemList>";
  for (int i = 0; i < 20000; ++i) deep += "<Item>";
  CheckOneInput(dir, deep, tally);  // unclosed: rejected
  for (int i = 0; i < 20000; ++i) deep += "</Item>";
  CheckOneInput(dir, deep + "</ItemList></Row></Rows></Table></Tables></P></B>", tally);

  std::string many = "<B><P name=\"m\"><Tables>";
  for (int i = 0; i < 5000; ++i) many += "<Table Name=\"t\"/>";
  CheckOneInput(dir, many + "</Tables></P></B>", tally);
  EXPECT_EQ(tally.Loaded, 2);
  EXPECT_EQ(tally.Rejected, 1);
}

}  // namespace
