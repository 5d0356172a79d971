// Random input for the project-file reader: damaged and reshaped variants of
// a valid file, and plain garbage. Loading must either succeed or raise one of our
// exceptions; a failed load leaves the project alone, and whatever loads
// saves and loads again to the same file.

#include "model/XMLIO.h"

#include "core/Exception.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <cstdlib>
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

class CountingListener : public ITableListener {
public:
  void TableAdded(const TWebTable&) override { ++Added; }
  void TableRemoved(const std::string&, const std::string&) override {}
  int Added = 0;
};

class CountingProgress : public IProgressDisplay {
public:
  void Start() override { ++Starts; }
  void SetProgress(int percent) override {
    if (percent < 0 || percent > 100) ++OutOfRange;
  }
  void Finish() override { ++Finishes; }
  int Starts = 0, Finishes = 0, OutOfRange = 0;
};

/** A small but complete project file: every element kind, item lists, odd text. */
std::string SeedFile(const TempDir& dir) {
  TProjectManager p;
  p.ProjectName = "Seed <&>";
  p.Project_comment = "a\r\nb";
  p.SiteCaption = "Zürich 東京";
  p.RowNumber = 15;
  for (int t = 0; t < 3; ++t) {
    auto table = std::make_unique<TWebTable>();
    table->DB = "db";
    table->Name = "t" + std::to_string(t);
    table->Caption = "Table " + std::to_string(t);
    table->InsertRight = "Admin";
    table->SendMail = t == 1;
    for (int c = 0; c < 3; ++c) {
      auto col = std::make_unique<TWebInput>("c" + std::to_string(c));
      col->Database_field = "c" + std::to_string(c);
      col->Type = c == 2 ? "enum('x','y')" : "int(11)";
      col->Key = c == 0;
      col->Caption = "Column \"" + std::to_string(c) + "\"";
      col->HtmlInput->iLength = 10 + c;
      col->HtmlInput->iLDistinct = c != 1;
      if (c == 2) {
        col->HtmlInput->ItemList.Add("X=x");
        col->HtmlInput->ItemList.Add("Y=y");
      }
      table->AddToInputList(std::move(col));
    }
    p.AddTable(std::move(table));
  }
  XMLManager().SaveProject(dir.File("seed.vrk"), p);
  return ReadFile(dir.File("seed.vrk"));
}

const std::vector<std::string> kMarkup = {
    "<", ">", "</", "/>", "&", "&amp;", "&#0;", "&#x1F;", "&#13;", "&#xD800;", "&unknown;", "\"", "'", "=",
    "<![CDATA[", "]]>", "<!--", "-->", "<?pi x?>", "<!DOCTYPE x>", "<Row>", "</Row>", "<Table>", "</Table>",
    "<Tables>", "</Tables>", "<Row Database_field=\"f\" Type=\"t\">", "<ItemList><Item>a=b</Item></ItemList>",
    "<Project name=\"x\">", "</Project>", " name=\"\"", " Type=\"\"", "\xEF\xBB\xBF", "\xFF\xFE", "\xC3",
    "\xF4\x90\x80\x80", std::string(1, '\0'), "\r\n", "<iLength>99999999999</iLength>", "<RowNumber>-",
};

std::string Mutate(std::string s, std::mt19937& rng) {
  auto pick = [&](size_t n) { return n == 0 ? size_t(0) : std::uniform_int_distribution<size_t>(0, n - 1)(rng); };
  const int steps = 1 + static_cast<int>(pick(4));
  for (int step = 0; step < steps; ++step) {
    switch (pick(7)) {
      case 0:  // flip bits of a few bytes
        for (int k = 0, n = 1 + static_cast<int>(pick(8)); k < n && !s.empty(); ++k)
          s[pick(s.size())] ^= static_cast<char>(1u << pick(8));
        break;
      case 1:  // truncate
        s.resize(pick(s.size() + 1));
        break;
      case 2: {  // duplicate a range somewhere else
        if (s.empty()) break;
        const size_t from = pick(s.size());
        const size_t len = pick(std::min<size_t>(s.size() - from, 400) + 1);
        const std::string part = s.substr(from, len);
        s.insert(pick(s.size() + 1), part);
        break;
      }
      case 3:  // insert markup
        s.insert(pick(s.size() + 1), kMarkup[pick(kMarkup.size())]);
        break;
      case 4: {  // delete a range
        if (s.empty()) break;
        const size_t from = pick(s.size());
        s.erase(from, pick(std::min<size_t>(s.size() - from, 200) + 1));
        break;
      }
      case 5: {  // replace a byte by a random one
        if (!s.empty()) s[pick(s.size())] = static_cast<char>(pick(256));
        break;
      }
      default: {  // swap two ranges' worth of tags: move a chunk
        if (s.size() < 2) break;
        const size_t from = pick(s.size());
        const size_t len = pick(std::min<size_t>(s.size() - from, 100) + 1);
        const std::string part = s.substr(from, len);
        s.erase(from, len);
        s.insert(pick(s.size() + 1), part);
        break;
      }
    }
  }
  return s;
}

const std::vector<std::string> kNames = {"Brannoch_Project", "Project", "Tables", "Table", "Rows", "Row", "ItemList",
                                         "Item", "Key", "Caption", "RowNumber", "iLength", "iLDistinct", "SendMail",
                                         "CSS", "SiteCaption", "Other"};
const std::vector<std::string> kValues = {"", " ", "true", "TRUE", "false", "1", "-1", "0", "2147483647",
                                          "2147483648", "-2147483648", "abc", "Zürich 東京", "\r\n", "<&>\"'",
                                          "\t", "a=b=c"};

void CollectElements(pugi::xml_node node, std::vector<pugi::xml_node>& out) {
  for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling())
    if (c.type() == pugi::node_element) {
      out.push_back(c);
      CollectElements(c, out);
    }
}

/** Well-formed variants: elements removed, copied, renamed or moved, texts and
 *  attributes changed or dropped. These reach the reader's rules rather than
 *  the parser's. */
std::string MutateTree(const std::string& seed, std::mt19937& rng) {
  auto pick = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng); };
  pugi::xml_document doc;
  doc.load_string(seed.c_str());
  const int steps = 1 + static_cast<int>(pick(3));
  for (int step = 0; step < steps; ++step) {
    std::vector<pugi::xml_node> elements;
    CollectElements(doc, elements);
    if (elements.size() < 2) break;
    pugi::xml_node e = elements[1 + pick(elements.size() - 1)];  // never the document element
    switch (pick(7)) {
      case 0: e.parent().remove_child(e); break;
      case 1: e.parent().insert_copy_after(e, e); break;
      case 2: e.set_name(kNames[pick(kNames.size())].c_str()); break;
      case 3: e.text().set(kValues[pick(kValues.size())].c_str()); break;
      case 4:
        if (e.first_attribute()) {
          std::vector<pugi::xml_attribute> attrs;
          for (pugi::xml_attribute a : e.attributes()) attrs.push_back(a);
          e.remove_attribute(attrs[pick(attrs.size())]);
        }
        break;
      case 5:
        if (e.first_attribute()) e.first_attribute().set_value(kValues[pick(kValues.size())].c_str());
        break;
      default:  // move under another element (refused when that is inside e)
        elements[pick(elements.size())].append_move(e);
        break;
    }
  }
  std::ostringstream os;
  doc.save(os);
  return os.str();
}

std::string Garbage(std::mt19937& rng) {
  std::uniform_int_distribution<int> length(0, 300), byte(0, 255), kind(0, 3), markup(0, int(kMarkup.size()) - 1);
  std::string s;
  const int n = length(rng);
  for (int i = 0; i < n; ++i) {
    if (kind(rng) == 0) s += kMarkup[static_cast<size_t>(markup(rng))];
    else s += static_cast<char>(byte(rng));
  }
  return s;
}

/** Every project save ends with fsync, and thousands of them on a busy disk
 *  take longer than the reading under test; a memory file system, where
 *  there is one, keeps the test short. */
class TFastTempDir {
public:
  TFastTempDir() {
    const char* old = std::getenv("TMPDIR");
    FHadOld = old != nullptr;
    if (FHadOld) FOld = old;
    if (::access("/dev/shm", W_OK) == 0) ::setenv("TMPDIR", "/dev/shm", 1);
    FDir = std::make_unique<TempDir>();
    if (FHadOld) ::setenv("TMPDIR", FOld.c_str(), 1);
    else ::unsetenv("TMPDIR");
  }
  const TempDir& Dir() const { return *FDir; }

private:
  bool FHadOld = false;
  std::string FOld;
  std::unique_ptr<TempDir> FDir;
};

struct Tally {
  int Loaded = 0;
  int Rejected = 0;
};

/** Loads one input and checks what a load promises. */
void CheckOneInput(const TempDir& dir, const std::string& input, Tally& tally) {
  const std::string file = dir.File("fuzz.vrk");
  WriteFile(file, input);
  TProjectManager p;
  p.ProjectName = "Untouched";
  CountingListener listener;
  p.AddListener(&listener);
  CountingProgress progress;
  bool loaded = false;
  try {
    XMLManager().LoadProject(file, p, &progress);
    loaded = true;
  } catch (const Exception& e) {
    ASSERT_FALSE(e.Message().empty());
  } catch (const std::exception& e) {
    FAIL() << "unexpected exception type: " << e.what();
  }
  ASSERT_EQ(progress.Starts, 1);
  ASSERT_EQ(progress.Finishes, 1);
  ASSERT_EQ(progress.OutOfRange, 0);
  if (!loaded) {
    ++tally.Rejected;
    ASSERT_EQ(p.ProjectName, "Untouched");
    ASSERT_EQ(p.GetTableCount(), 0);
    ASSERT_EQ(listener.Added, 0);
    return;
  }
  ++tally.Loaded;
  ASSERT_EQ(listener.Added, p.GetTableCount());

  // Whatever was read is written so that it reads back the same.
  XMLManager().SaveProject(dir.File("first.vrk"), p);
  TProjectManager q;
  XMLManager().LoadProject(dir.File("first.vrk"), q);
  XMLManager().SaveProject(dir.File("second.vrk"), q);
  ASSERT_EQ(ReadFile(dir.File("first.vrk")), ReadFile(dir.File("second.vrk"))) << "input:\n" << input;
}

TEST(ProjectFileFuzzTest, MutatedProjectFilesLoadOrFailCleanly) {
  TFastTempDir fast;
  const TempDir& dir = fast.Dir();
  const std::string seed = SeedFile(dir);
  Tally tally;
  for (unsigned s = 1; s <= 2500; ++s) {
    std::mt19937 rng(s);
    const std::string input = Mutate(seed, rng);
    SCOPED_TRACE("seed " + std::to_string(s));
    CheckOneInput(dir, input, tally);
    if (HasFatalFailure()) return;
  }
  RecordProperty("loaded", tally.Loaded);
  RecordProperty("rejected", tally.Rejected);
  // Both outcomes must actually occur, or the mutations are not doing their job.
  EXPECT_GT(tally.Loaded, 100);
  EXPECT_GT(tally.Rejected, 100);
}

TEST(ProjectFileFuzzTest, ReshapedProjectFilesLoadOrFailCleanly) {
  TFastTempDir fast;
  const TempDir& dir = fast.Dir();
  const std::string seed = SeedFile(dir);
  Tally tally;
  for (unsigned s = 1; s <= 1500; ++s) {
    std::mt19937 rng(50000 + s);
    const std::string input = MutateTree(seed, rng);
    SCOPED_TRACE("seed " + std::to_string(s));
    CheckOneInput(dir, input, tally);
    if (HasFatalFailure()) return;
  }
  RecordProperty("loaded", tally.Loaded);
  RecordProperty("rejected", tally.Rejected);
  EXPECT_GT(tally.Loaded, 1000);
  EXPECT_GT(tally.Rejected, 5);  // a required attribute or the project element removed
}

TEST(ProjectFileFuzzTest, GarbageIsRejectedOrLoadsCleanly) {
  TFastTempDir fast;
  const TempDir& dir = fast.Dir();
  Tally tally;
  for (unsigned s = 1; s <= 1500; ++s) {
    std::mt19937 rng(100000 + s);
    const std::string input = Garbage(rng);
    SCOPED_TRACE("seed " + std::to_string(s));
    CheckOneInput(dir, input, tally);
    if (HasFatalFailure()) return;
  }
  RecordProperty("loaded", tally.Loaded);
  RecordProperty("rejected", tally.Rejected);
  EXPECT_GT(tally.Rejected, 1000);
}

TEST(ProjectFileFuzzTest, DeepNestingAndLargeCountsDoNotHang) {
  TempDir dir;
  Tally tally;
  std::string deep = "<Brannoch_Project><Project name=\"d\"><Tables><Table><Rows><Row Database_field=\"f\" Type=\"t\">"
                     "<ItemList>";
  for (int i = 0; i < 20000; ++i) deep += "<Item>";
  CheckOneInput(dir, deep, tally);  // unclosed: rejected
  for (int i = 0; i < 20000; ++i) deep += "</Item>";
  deep += "</ItemList></Row></Rows></Table></Tables></Project></Brannoch_Project>";
  CheckOneInput(dir, deep, tally);  // closed: one item whose text is empty

  std::string many = "<B><P name=\"m\"><Tables>";
  for (int i = 0; i < 5000; ++i) many += "<Table Name=\"t\"/>";
  many += "</Tables></P></B>";
  CheckOneInput(dir, many, tally);
  EXPECT_EQ(tally.Loaded, 2);
  EXPECT_EQ(tally.Rejected, 1);
}

}  // namespace
