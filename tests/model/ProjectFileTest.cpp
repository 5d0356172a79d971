// Project file: writer and reader of XMLManager.

#include "model/XMLIO.h"

#include "core/Exception.h"
#include "core/Files.h"
#include "support/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

using qftest::ReadFile;
using qftest::TempDir;
using qftest::WriteFile;
using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

/** Records the progress window's calls and the tables added, as "db.name". */
struct Recorder : IProgressDisplay, ITableListener {
  void Start() override { ++Starts; }
  void SetProgress(int percent) override { Values.push_back(percent); }
  void Finish() override { ++Finishes; }
  void TableAdded(const TWebTable& table) override { Added.push_back(table.DB + "." + table.Name); }
  void TableRemoved(const std::string&, const std::string&) override {}
  int Starts = 0, Finishes = 0;
  std::vector<int> Values;
  std::vector<std::string> Added;
};

/** The values, each followed by "|". */
template <class... T>
std::string Cat(const T&... values) {
  std::ostringstream os;
  ((os << values << '|'), ...);
  return os.str();
}

std::unique_ptr<TWebTable> MakeTable(const std::string& db, const std::string& name) {
  auto t = std::make_unique<TWebTable>();
  t->DB = db;
  t->Name = name;
  return t;
}

/** A column whose saved fields differ from each other and from the defaults;
 *  over the variants 0 to 3 every two flags differ at least once. */
std::unique_ptr<TWebInput> MakeColumn(const std::string& name, int variant) {
  auto c = std::make_unique<TWebInput>(name);
  TBaseHtmlInput& h = *c->HtmlInput;
  const std::string v = std::to_string(variant);
  bool* flags[] = {&c->Key,       &c->Insert,    &c->Update,        &c->List,          &c->Detail,
                   &c->UseHint,   &h.iRequired,  &h.iReadOnly,      &h.iRaHorizontal,  &h.iTAWrap,
                   &h.iTARequired, &h.iLElementFromDb, &h.iLDistinct};
  for (int i = 0; i < 13; ++i) *flags[i] = ((i + 1) >> variant) & 1;
  c->Database_field = name;
  c->Type = "enum('a','b c','it''s') <&>\"'";
  c->Size = 77;  // kept in memory only
  c->Caption = "Caption " + v + " Zürich 東京";
  c->Input_type = "Combobox"; c->View_type = "Picture"; c->Filter_type = "Interval";
  c->HintText = "line one\r\nline two\nline three\r\n";
  h.iName = "  name with blanks  "; h.iId = "id_" + v; h.iCss = "css<" + v + ">"; h.iCheckType = "Email";
  h.iErrorText = "Bad & wrong ]]> \"quoted\" 'single'";
  h.iCheckMin = "-5"; h.iCheckMax = "1e9"; h.iValue = "\t";
  h.iLength = -3; h.iMax = 255 + variant; h.iLSource = 1; h.iTAWidth = INT32_MIN; h.iTALines = INT32_MAX;
  h.iLDb = "shop"; h.iLTable = "countries"; h.iLDisplayField = "name"; h.iLValueField = "code";
  h.iLWhereField = "active"; h.iLRelation = "<="; h.iLValue = "1"; h.iLShort = "Desc";
  h.iLSQL = "SELECT a, b\nFROM t\r\nWHERE x < 3 AND y > 'z'";
  for (const char* item : {"Yes=1", "A = B = C", "", "   ", "München=東京"}) h.ItemList.Add(item);
  h.iTADefault = "\r\n"; h.iTAErrorText = "required\n"; h.iHiValue = "hidden " + v;
  h.iFileUpDir = "uploads/" + v + "/"; h.iFileUpSize = "1048576";
  return c;
}

/** The project of the golden file: every saved field differs from the others and from the defaults. */
void FillProject(TProjectManager& p) {
  p.ProjectName = "Shop <&> \"Zürich\" '東京'";
  p.Project_path = "/home/user/Projects/"; p.Project_output = "/var/www/shop/";
  p.Project_comment = "first line\r\nsecond line\nthird line";
  p.LocalDomain = "http://localhost/shop/?a=1&b=2";
  p.Database_host = "db.example.org"; p.Database_user = "admin"; p.Database_password = "p<a>s&s\"w'o rd ";
  p.Database_port = -1; p.Database_name = "shop";
  p.FTPHost = "ftp.example.org"; p.FTPUser = "ftp user"; p.FTPPassword = "  "; p.FTPDir = "/htdocs";
  p.SecurityMode = "Table"; p.AdminName = "boss"; p.AdminPass = "secret";
  p.SiteCaption = "The shop — Zürich 東京"; p.CSS = "blue"; p.TableAlign = "\t";
  p.TableWidth = -100; p.WidthType = 2; p.RowNumber = 0;
  p.mailSendTo = "a@example.org"; p.mailSubject = "Change <notice>"; p.mailFrom = "b@example.org";
  p.UseLocalDomain = p.mailOnUpdate = p.mailAllData = p.mailNoData = true;
  const char* names[] = {"customers", "orders", "Straße"};
  for (int t = 0; t < 3; ++t) {
    auto table = MakeTable(t == 2 ? "other db" : "shop", names[t]);
    table->Caption = t == 1 ? "" : std::string("  ") + names[t] + " <&\"'> ";
    table->InsertRight = "Admin"; table->UpdateRight = "Admin "; table->DeleteRight = "";
    table->DetailRight = "admin\r\nx"; table->ListRight = "List";
    table->SendMail = t != 1;
    for (int c = 0; c < 4 - 2 * t; ++c) table->AddToInputList(MakeColumn(table->Name + "_" + std::to_string(c), c));
    p.AddTable(std::move(table));
  }
}

std::string Fixture(const std::string& name) { return qftest::SourceDir() + "/tests/fixtures/projects/" + name; }

/** What the writer makes of a project: the field-by-field comparison of two projects. */
std::string Saved(const TProjectManager& p) {
  TempDir dir;
  XMLManager().SaveProject(dir.File("p.vrk"), p);
  return ReadFile(dir.File("p.vrk"));
}

// The golden files fix names, order and encoding of every element. Each reads
// back and saves as it was, so every value reaches its own field and returns.
// minimal.vrk holds only what is required and odd_values.vrk what the writer
// never writes, foreign_names_crlf.vrk other top element names and CR LF line
// ends, utf16.vrk another encoding: their saved forms show the reader's rules.
TEST(ProjectFileTest, GoldenFilesAreWrittenAndReadByteForByte) {
  TempDir dir;
  TProjectManager saved;
  FillProject(saved);
  WriteFile(dir.File("a.vrk"), std::string(100000, 'x'));  // a longer file is replaced whole
  EXPECT_TRUE(XMLManager().SaveProject(dir.File("a.vrk"), saved));
  const bool update = std::getenv("QF_UPDATE_GOLDEN") != nullptr;  // to regenerate, then review the diff
  if (update) WriteFile(Fixture("golden.vrk"), ReadFile(dir.File("a.vrk")));
  EXPECT_EQ(ReadFile(dir.File("a.vrk")), ReadFile(Fixture("golden.vrk")));
  for (const auto& [from, to] : {std::pair{"golden.vrk", "golden.vrk"}, {"minimal.vrk", "minimal_saved.vrk"},
                                  {"odd_values.vrk", "odd_values_saved.vrk"},
                                  {"foreign_names_crlf.vrk", "foreign_names_crlf_saved.vrk"},
                                  {"utf16.vrk", "utf16_saved.vrk"}}) {
    TProjectManager loaded;
    XMLManager().LoadProject(Fixture(from), loaded);
    if (update) WriteFile(Fixture(to), Saved(loaded));
    EXPECT_EQ(Saved(loaded), ReadFile(Fixture(to))) << from;
  }
  // Tables come after the ones already there, in file order, and the view hears of each.
  TProjectManager p;
  p.AddTable(MakeTable("old", "kept"));
  Recorder listener;
  p.AddListener(&listener);
  XMLManager().LoadProject(Fixture("golden.vrk"), p);
  EXPECT_THAT(listener.Added, ElementsAre("shop.customers", "shop.orders", "other db.Straße"));
  EXPECT_EQ(p.GetTableCount(), 4);
}

TEST(ProjectFileTest, ProgressStepsForSaveAndLoad) {
  std::vector<int> many(151, 0);  // 100 / 150 tables is 0
  many.push_back(100);
  const struct {
    int Tables;
    std::vector<int> Expected;  // the first 0 is the window's start
  } cases[] = {{0, {0, 100}}, {3, {0, 0, 33, 66, 100}}, {7, {0, 0, 14, 28, 42, 56, 70, 84, 100}}, {150, many}};
  TempDir dir;
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.Tables) + " tables");
    TProjectManager p;
    for (int i = 0; i < c.Tables; ++i) p.AddTable(MakeTable("db", std::to_string(i)));
    Recorder save, load;
    XMLManager().SaveProject(dir.File("p.vrk"), p, &save);
    TProjectManager q;
    XMLManager().LoadProject(dir.File("p.vrk"), q, &load);
    for (const Recorder* r : {&save, &load})
      EXPECT_EQ(Cat(r->Starts, r->Finishes) + ::testing::PrintToString(r->Values),
                Cat(1, 1) + ::testing::PrintToString(c.Expected));
    EXPECT_EQ(q.GetTableCount(), c.Tables);
  }
}

TEST(ProjectFileTest, MissingFileChangesNothingAndShowsNoProgress) {
  TempDir dir;
  TProjectManager p;
  Recorder recorder;
  p.AddListener(&recorder);
  for (const std::string& name : {dir.File("absent.vrk"), dir.Path(), std::string()})
    XMLManager().LoadProject(name, p, &recorder);
  EXPECT_EQ(Saved(p), Saved(TProjectManager()));
  EXPECT_EQ(recorder.Starts + recorder.Values.size() + recorder.Added.size(), 0u);
}

TEST(ProjectFileTest, DamagedFilesRaiseAndLeaveTheOpenProjectAlone) {
  const std::pair<const char*, const char*> cases[] = {
      // the file, a part of the error text besides the file name
      {"truncated.vrk", "not a well-formed XML document"},
      {"empty.vrk", "XML"},
      {"missing_name.vrk", "the element \"Project\" has no attribute \"name\""},
      {"row_without_field.vrk", "row 2 of table \"world.city\" has no attribute \"Database_field\""},
      {"row_without_type.vrk", "row 2 of table \"world.city\" has no attribute \"Type\""},
      {"no_project.vrk", "the document element \"Brannoch_Project\" has no child element"},
  };
  for (const auto& [name, message] : cases) {
    const std::string file = Fixture(name);
    SCOPED_TRACE(name);
    ASSERT_TRUE(FileExists(file));
    TProjectManager p;
    p.ProjectName = "Open";
    p.AddTable(MakeTable("db", "already"));
    const std::string before = Saved(p);
    Recorder recorder;
    p.AddListener(&recorder);
    try {
      XMLManager().LoadProject(file, p, &recorder);
      ADD_FAILURE() << "no error raised";
    } catch (const EXMLDocError& e) {
      EXPECT_THAT(e.Message(), AllOf(HasSubstr(file), HasSubstr(message)));
    }
    EXPECT_EQ(Saved(p), before);
    // No table reported, and the window is closed on failure too.
    EXPECT_EQ(Cat(recorder.Added.size(), recorder.Starts, recorder.Finishes), "0|1|1|");
  }
}

// A failed save raises and closes the progress window short of 100; what a
// failed or linked write leaves on the drive is the atomic write's business.
TEST(ProjectFileTest, FailedSaveRaisesAndClosesTheProgress) {
  TempDir dir;
  TProjectManager p;
  FillProject(p);
  Recorder progress;
  EXPECT_THROW(XMLManager().SaveProject(dir.File("missing/p.vrk"), p, &progress), EFCreateError);
  EXPECT_EQ(Cat(progress.Finishes, progress.Values.back()), "1|66|");
}

}  // namespace
