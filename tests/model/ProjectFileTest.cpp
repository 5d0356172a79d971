// Project file: writer and reader of XMLManager.

#include "model/XMLIO.h"

#include "core/Exception.h"
#include "core/Files.h"
#include "support/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

using qftest::ReadFile;
using qftest::TempDir;
using qftest::WriteFile;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

struct RecordingProgress : IProgressDisplay {
  void Start() override { ++Starts; }
  void SetProgress(int percent) override { Values.push_back(percent); }
  void Finish() override { ++Finishes; }
  int Starts = 0, Finishes = 0;
  std::vector<int> Values;
};

/** Records tables added, as "db.name". */
struct RecordingListener : ITableListener {
  void TableAdded(const TWebTable& table) override { Added.push_back(table.DB + "." + table.Name); }
  void TableRemoved(const std::string&, const std::string&) override {}
  std::vector<std::string> Added;
};

/** The values, each followed by "|". */
template <class... T>
std::string Cat(const T&... values) {
  std::ostringstream os;
  ((os << values << '|'), ...);
  return os.str();
}

/** Every saved field of the project, its tables and their columns, except the
 *  form-control options (compared by their operator== in ExpectSameProject). */
std::string Dump(const TProjectManager& p) {
  std::string s = Cat(p.ProjectName, p.Project_path, p.Project_output, p.Project_comment, p.LocalDomain,
                      p.UseLocalDomain, p.Database_host, p.Database_user, p.Database_password, p.Database_port,
                      p.Database_name, p.FTPHost, p.FTPUser, p.FTPPassword, p.FTPDir, p.SecurityMode, p.AdminName,
                      p.AdminPass, p.SiteCaption, p.CSS, p.TableWidth, p.WidthType, p.TableAlign, p.RowNumber,
                      p.mailSendTo, p.mailSubject, p.mailFrom, p.mailOnInsert, p.mailOnUpdate, p.mailOnDelete,
                      p.mailAllData, p.mailListData, p.mailNoData);
  for (const auto& t : p.Tables) {
    s += "\n" + Cat(t->DB, t->Name, t->Caption, t->InsertRight, t->UpdateRight, t->DeleteRight, t->DetailRight,
                    t->ListRight, t->SendMail);
    for (const auto& c : t->InputList)
      s += "\n  " + Cat(c->Database_field, c->Type, c->Key, c->Caption, c->List, c->Detail, c->Insert, c->Update,
                        c->Input_type, c->View_type, c->UseHint, c->HintText, c->Filter_type);
  }
  return s;
}

void ExpectSameProject(const TProjectManager& a, const TProjectManager& b) {
  ASSERT_EQ(Dump(a), Dump(b));
  for (size_t t = 0; t < a.Tables.size(); ++t)
    for (size_t c = 0; c < a.Tables[t]->InputList.size(); ++c)
      EXPECT_TRUE(*a.Tables[t]->InputList[c]->HtmlInput == *b.Tables[t]->InputList[c]->HtmlInput)
          << "form-control options of table " << t << ", column " << c;
}

/** A column whose every saved field differs from the constructor's and the reader's defaults. */
std::unique_ptr<TWebInput> MakeColumn(const std::string& name, int variant) {
  auto c = std::make_unique<TWebInput>(name);
  const std::string v = std::to_string(variant);
  c->Database_field = name;
  c->Type = "enum('a','b c','it''s') <&>\"'";
  c->Size = 77;  // kept in memory only
  c->Key = c->List = c->Detail = c->Insert = c->Update = c->UseHint = true;
  c->Caption = "Caption " + v + " Zürich 東京";
  c->Input_type = "Combobox"; c->View_type = "Picture"; c->Filter_type = "Interval";
  c->HintText = "line one\r\nline two\nline three\r\n";
  TBaseHtmlInput& h = *c->HtmlInput;
  h.iRequired = h.iReadOnly = h.iLElementFromDb = h.iTAWrap = h.iTARequired = h.iRaHorizontal = true;
  h.iLDistinct = false;
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

std::unique_ptr<TWebTable> MakeTable(const std::string& db, const std::string& name) {
  auto t = std::make_unique<TWebTable>();
  t->DB = db;
  t->Name = name;
  return t;
}

/** A project whose every saved field differs from the constructor's and the reader's defaults. */
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
  p.UseLocalDomain = p.mailOnInsert = p.mailOnUpdate = p.mailOnDelete = p.mailAllData = p.mailListData =
      p.mailNoData = true;
  const char* names[] = {"customers", "orders", "Straße"};
  for (int t = 0; t < 3; ++t) {
    auto table = MakeTable(t == 2 ? "other db" : "shop", names[t]);
    table->Caption = t == 1 ? "" : std::string("  ") + names[t] + " <&\"'> ";
    table->InsertRight = table->ListRight = "Admin";
    table->UpdateRight = "Admin ";
    table->DeleteRight = "";
    table->DetailRight = "admin\r\nx";
    table->SendMail = t != 1;
    for (int c = 0; c < 2 + t; ++c) table->AddToInputList(MakeColumn(table->Name + "_col" + std::to_string(c), c));
    p.AddTable(std::move(table));
  }
}

std::string Fixture(const std::string& name) { return qftest::SourceDir() + "/tests/fixtures/projects/" + name; }

/** A project file around the given Project children and Tables content. */
std::string ProjectXml(const std::string& projectChildren, const std::string& tables = "") {
  return "<?xml version=\"1.0\"?>\n<Brannoch_Project><Project name=\"P\">" + projectChildren + "<Tables>" + tables +
         "</Tables></Project></Brannoch_Project>\n";
}

/** One table with one column whose Row has the given children. */
std::string OneRowXml(const std::string& tableAttrs, const std::string& rowChildren) {
  return ProjectXml("", "<Table" + tableAttrs + "><Rows><Row Database_field=\"f\" Type=\"int(11)\">" + rowChildren +
                            "</Row></Rows></Table>");
}

TEST(ProjectFileTest, RoundTripKeepsEverySavedFieldAndTheBytes) {
  TempDir dir;
  TProjectManager saved;
  FillProject(saved);
  WriteFile(dir.File("a.vrk"), std::string(100000, 'x'));  // a longer file is replaced whole
  EXPECT_TRUE(XMLManager().SaveProject(dir.File("a.vrk"), saved));
  TProjectManager loaded;
  XMLManager().LoadProject(dir.File("a.vrk"), loaded);
  ExpectSameProject(saved, loaded);

  XMLManager().SaveProject(dir.File("b.vrk"), loaded);
  const std::string data = ReadFile(dir.File("a.vrk"));
  EXPECT_EQ(ReadFile(dir.File("b.vrk")), data);
  EXPECT_NE(data.substr(0, 3), "\xEF\xBB\xBF");  // UTF-8 without byte order mark, passwords in the clear
  EXPECT_THAT(data, HasSubstr("Zürich 東京"));
  EXPECT_THAT(data, HasSubstr("<AdminPass>secret</AdminPass>"));
  EXPECT_EQ(FindFiles(dir.Path(), "*"), (std::vector<std::string>{"a.vrk", "b.vrk"}));
}

/** The small project kept as tests/fixtures/projects/golden.vrk, which fixes
 *  the names and the order of the elements and attributes. */
void FillGoldenProject(TProjectManager& p) {
  p.ProjectName = "Golden";
  p.Project_path = "/data/projects/"; p.Project_output = "/data/www/"; p.Project_comment = "Two lines\r\nof comment";
  p.LocalDomain = "http://localhost/golden/"; p.FTPHost = "ftp.example.org";
  p.Database_password = "pw"; p.Database_name = "golden"; p.Database_port = 3307;
  p.SecurityMode = "Table"; p.SiteCaption = "Golden & Co";
  p.UseLocalDomain = p.mailOnUpdate = p.mailListData = true;

  auto t = MakeTable("golden", "city");
  t->Caption = "Cities";
  t->InsertRight = t->UpdateRight = t->DeleteRight = "Admin";
  t->DetailRight = t->ListRight = "Guest";
  t->SendMail = true;
  auto id = std::make_unique<TWebInput>("id");
  id->Database_field = "id"; id->Type = "int(11)"; id->Caption = "Id";
  id->Key = id->List = id->Detail = true;
  id->Input_type = "Hidden"; id->View_type = "Number"; id->Filter_type = "No";
  t->AddToInputList(std::move(id));
  auto kind = std::make_unique<TWebInput>("kind");
  kind->Database_field = "kind"; kind->Type = "enum('town','village')"; kind->Caption = "Kind";
  kind->Insert = kind->Update = kind->List = kind->UseHint = true;
  kind->Input_type = "Combobox"; kind->View_type = "Text"; kind->Filter_type = "Like";
  kind->HintText = "Town <or> village";
  kind->HtmlInput->iLSource = 1;
  kind->HtmlInput->ItemList.Add("Town=town");
  kind->HtmlInput->ItemList.Add("Village=village");
  t->AddToInputList(std::move(kind));
  p.AddTable(std::move(t));

  auto empty = MakeTable("golden", "log");
  empty->Caption = "log";
  empty->InsertRight = empty->UpdateRight = empty->DeleteRight = empty->DetailRight = empty->ListRight = "Guest";
  p.AddTable(std::move(empty));
}

TEST(ProjectFileTest, GoldenFileIsWrittenByteForByteAndReadsBack) {
  TempDir dir;
  TProjectManager golden;
  FillGoldenProject(golden);
  XMLManager().SaveProject(dir.File("golden.vrk"), golden);
  EXPECT_EQ(ReadFile(dir.File("golden.vrk")), ReadFile(Fixture("golden.vrk")));

  TProjectManager loaded;
  XMLManager().LoadProject(Fixture("golden.vrk"), loaded);
  ExpectSameProject(golden, loaded);
}

TEST(ProjectFileTest, MinimalFileGivesTheReaderDefaults) {
  TProjectManager expected;  // the constructor's defaults, changed where the reader's differ
  expected.ProjectName = expected.SiteCaption = "Minimal";
  expected.Database_host = expected.Database_user = expected.SecurityMode = "";
  expected.TableAlign = "center"; expected.RowNumber = 10; expected.TableWidth = 80; expected.WidthType = 0;
  auto t = MakeTable("", "city");
  t->Caption = "city";
  t->InsertRight = t->UpdateRight = t->DeleteRight = t->DetailRight = t->ListRight = "Guest";
  auto c = std::make_unique<TWebInput>("");
  c->Database_field = "id"; c->Type = "int(11)";
  TBaseHtmlInput& h = *c->HtmlInput;
  h.iId = h.iCheckType = h.iCheckMin = h.iCheckMax = "";
  h.iLength = h.iMax = 20;
  t->AddToInputList(std::move(c));
  expected.AddTable(std::move(t));

  TProjectManager loaded;
  XMLManager().LoadProject(Fixture("minimal.vrk"), loaded);
  ExpectSameProject(expected, loaded);
}

const TWebTable& Tab(const TProjectManager& p) {
  if (p.GetTableCount() == 0) throw std::runtime_error("no table");
  return *p.GetTable(0);
}
const TWebInput& Col(const TProjectManager& p) { return *Tab(p).GetInputListElement(0); }
const TBaseHtmlInput& Html(const TProjectManager& p) { return *Col(p).HtmlInput; }

std::vector<std::string> TableNames(const TProjectManager& p) {
  std::vector<std::string> names;
  for (const auto& t : p.Tables) names.push_back(t->Name);
  return names;
}

/** The lines joined by ",". */
std::string Join(const std::vector<std::string>& lines) {
  std::string s;
  for (size_t i = 0; i < lines.size(); ++i) s += (i ? "," : "") + lines[i];
  return s;
}

std::string Utf16Le(const std::u16string& text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t ch : text) bytes += {static_cast<char>(ch & 0xFF), static_cast<char>(ch >> 8)};
  return bytes;
}

#define GET(...) [](const TProjectManager& p) { return Cat(__VA_ARGS__); }

TEST(ProjectFileTest, ReaderRulesForOddValues) {
  const struct {
    const char* Name;
    std::string Xml;
    std::function<std::string(const TProjectManager&)> Get;
    std::string Expected;
  } cases[] = {
      {"number not a number", ProjectXml("<RowNumber>abc</RowNumber>"), GET(p.RowNumber), "10|"},
      {"number with a blank", ProjectXml("<RowNumber> 12</RowNumber>"), GET(p.RowNumber), "10|"},
      {"negative number", ProjectXml("<RowNumber>-7</RowNumber>"), GET(p.RowNumber), "-7|"},
      {"number beyond 32 bits", ProjectXml("<Database_port>4294967296</Database_port>"), GET(p.Database_port),
       "3306|"},
      {"empty elements",
       ProjectXml("<Database_host/><Database_name/><SecurityMode></SecurityMode><SiteCaption/><TableAlign/><CSS/>"),
       GET(p.Database_host, p.Database_name, p.SecurityMode, p.SiteCaption, p.TableAlign, p.CSS),
       "|mysql||P|center|default|"},
      {"whitespace is a value", ProjectXml("<TableAlign>  </TableAlign>"), GET(p.TableAlign), "  |"},
      {"Boolean spelling", ProjectXml("<UseLocalDomain>TRUE</UseLocalDomain><mailNoData>1</mailNoData>"),
       GET(p.UseLocalDomain, p.mailNoData), "1|0|"},
      {"elements out of order",
       ProjectXml("<CSS>red</CSS><Database_name>db</Database_name><Project_path>x</Project_path>"),
       GET(p.CSS, p.Database_name, p.Project_path), "red|db|x|"},
      {"first of duplicate elements wins", ProjectXml("<CSS>one</CSS><RowNumber>5</RowNumber><CSS>two</CSS>"),
       GET(p.CSS, p.RowNumber), "one|5|"},
      {"SendMail in capitals", OneRowXml(" SendMail=\"TRUE\"", ""), GET(Tab(p).SendMail), "1|"},
      {"SendMail digit one", OneRowXml(" SendMail=\"1\"", ""), GET(Tab(p).SendMail), "0|"},
      {"table attributes absent", OneRowXml(" Name=\"t\"", ""),
       GET(Tab(p).DB, Tab(p).Caption, Tab(p).InsertRight, Tab(p).ListRight, Tab(p).SendMail), "|t|Guest|Guest|0|"},
      {"table attributes present but empty",
       OneRowXml(" Name=\"t\" Caption=\"\" ListRight=\"Admin\" DeleteRight=\"\"", ""),
       GET(Tab(p).Caption, Tab(p).ListRight, Tab(p).DeleteRight, Tab(p).UpdateRight), "|Admin||Guest|"},
      {"row numbers", OneRowXml("", "<iLength>x</iLength><iMax>-1</iMax>"), GET(Html(p).iLength, Html(p).iMax),
       "20|-1|"},
      {"iLDistinct empty", OneRowXml("", "<iLDistinct></iLDistinct>"), GET(Html(p).iLDistinct), "1|"},
      {"iLDistinct False", OneRowXml("", "<iLDistinct>False</iLDistinct>"), GET(Html(p).iLDistinct), "0|"},
      {"row Booleans", OneRowXml("", "<Key>true</Key><UseHint>yes</UseHint>"), GET(Col(p).Key, Col(p).UseHint),
       "1|0|"},
      {"every ItemList child counts", OneRowXml("", "<ItemList><Item>a=1</Item><Other>b=2</Other><Item/></ItemList>"),
       GET(Join(Html(p).ItemList.Lines())), "a=1,b=2,|"},
      {"CDATA text", OneRowXml("", "<iLSQL><![CDATA[SELECT * FROM t WHERE a<b]]></iLSQL>"), GET(Html(p).iLSQL),
       "SELECT * FROM t WHERE a<b|"},
      {"text in several parts", OneRowXml("", "<HintText>a<![CDATA[<b>]]>c</HintText><Caption>x<!-- n -->y</Caption>"),
       GET(Col(p).HintText, Col(p).Caption), "a<b>c|xy|"},
      {"element inside a value element", OneRowXml("", "<Caption>x<b>bold</b>y</Caption><iMax><n>5</n></iMax>"),
       GET(Col(p).Caption, Html(p).iMax), "xy|20|"},
      {"every Tables child counts",
       ProjectXml("", "<Table Name=\"a\"/><Other Name=\"b\"/><!-- c --><Table Name=\"d\"><Rows/></Table>"),
       GET(Join(TableNames(p))), "a,b,d|"},
      {"every Rows child counts",
       ProjectXml("", "<Table><Rows><Row Database_field=\"a\" Type=\"t\"/><Col Database_field=\"b\" Type=\"u\"/>"
                      "</Rows></Table>"),
       GET(Tab(p).GetInputListSize(), Tab(p).InputList.back()->Database_field, Tab(p).InputList.back()->Type),
       "2|b|u|"},
      {"names of the top elements are not looked at",
       "<Other><Something name=\"X\"><RowNumber>3</RowNumber></Something></Other>",
       GET(p.ProjectName, p.RowNumber, p.GetTableCount()), "X|3|0|"},
      {"CR LF in a hand-written file",
       "<Brannoch_Project>\r\n<Project name=\"P\">\r\n<Project_comment>a\r\nb</Project_comment>\r\n<Tables>\r\n"
       "</Tables>\r\n</Project>\r\n</Brannoch_Project>\r\n",
       GET(p.Project_comment, p.GetTableCount()), "a\r\nb|0|"},
      {"UTF-16 with byte order mark",
       Utf16Le(u"<?xml version=\"1.0\" encoding=\"UTF-16\"?><Brannoch_Project><Project name=\"Zürich 東京\">"
               u"<RowNumber>33</RowNumber><Tables/></Project></Brannoch_Project>"),
       GET(p.ProjectName, p.RowNumber), "Zürich 東京|33|"},
  };
  TempDir dir;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    WriteFile(dir.File("case.vrk"), c.Xml);
    TProjectManager p;
    ASSERT_NO_THROW(XMLManager().LoadProject(dir.File("case.vrk"), p));
    EXPECT_EQ(c.Get(p), c.Expected);
  }
}

TEST(ProjectFileTest, ProgressStepsForSaveAndLoad) {
  std::vector<int> many(151, 0);  // 100 / 150 tables is 0
  many.push_back(100);
  const struct {
    int Tables;
    std::vector<int> Expected;  // the first 0 is the window's start
  } cases[] = {{0, {0, 100}}, {1, {0, 0, 100}}, {3, {0, 0, 33, 66, 100}}, {7, {0, 0, 14, 28, 42, 56, 70, 84, 100}},
               {150, many}};
  TempDir dir;
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.Tables) + " tables");
    TProjectManager p;
    for (int i = 0; i < c.Tables; ++i) p.AddTable(MakeTable("db", "t" + std::to_string(i)));
    RecordingProgress save, load;
    XMLManager().SaveProject(dir.File("p.vrk"), p, &save);
    TProjectManager q;
    XMLManager().LoadProject(dir.File("p.vrk"), q, &load);
    for (const RecordingProgress* r : {&save, &load}) {
      EXPECT_EQ(r->Values, c.Expected);
      EXPECT_EQ(r->Starts, 1);
      EXPECT_EQ(r->Finishes, 1);
    }
    EXPECT_EQ(q.GetTableCount(), c.Tables);
  }
}

TEST(ProjectFileTest, MissingFileChangesNothingAndShowsNoProgress) {
  TempDir dir;
  TProjectManager p;
  RecordingListener listener;
  p.AddListener(&listener);
  RecordingProgress progress;
  for (const std::string& name : {dir.File("absent.vrk"), dir.Path(), std::string()})
    XMLManager().LoadProject(name, p, &progress);
  EXPECT_EQ(Dump(p), Dump(TProjectManager()));
  EXPECT_EQ(progress.Starts, 0);
  EXPECT_TRUE(progress.Values.empty());
  EXPECT_TRUE(listener.Added.empty());
}

TEST(ProjectFileTest, ListenerHearsOfTablesInFileOrderAfterExistingOnes) {
  TempDir dir;
  TProjectManager saved;
  FillProject(saved);
  XMLManager().SaveProject(dir.File("a.vrk"), saved);

  TProjectManager p;
  p.AddTable(MakeTable("old", "kept"));
  RecordingListener listener;
  p.AddListener(&listener);
  XMLManager().LoadProject(dir.File("a.vrk"), p);
  EXPECT_THAT(listener.Added, ElementsAre("shop.customers", "shop.orders", "other db.Straße"));
  ASSERT_EQ(p.GetTableCount(), 4);
  EXPECT_EQ(p.GetTable(0)->Name, "kept");
  EXPECT_EQ(p.GetTable(3)->Name, "Straße");
  EXPECT_EQ(p.ProjectName, saved.ProjectName);
}

TEST(ProjectFileTest, DamagedFilesRaiseAndLeaveTheOpenProjectAlone) {
  const std::string golden = ReadFile(Fixture("golden.vrk"));
  const std::string twoTables =
      ProjectXml("", "<Table Name=\"t1\" DB=\"d\"><Rows><Row Database_field=\"a\" Type=\"x\"/></Rows></Table>"
                     "<Table Name=\"t2\" DB=\"d\"><Rows><Row Database_field=\"a\" Type=\"x\"/><Row Type=\"y\"/>"
                     "</Rows></Table>");
  const struct {
    const char* Fixture;  // or null: Content is written to a file
    std::string Content;
    const char* Message;  // a part of the error text besides the file name
  } cases[] = {
      {"not_xml.vrk", "", "not a well-formed XML document"},
      {"truncated.vrk", "", "not a well-formed XML document"},
      {nullptr, golden.substr(0, golden.size() / 2), "not a well-formed XML document"},
      {nullptr, "", "XML"},
      {"missing_name.vrk", "", "the element \"Project\" has no attribute \"name\""},
      {"row_without_field.vrk", "", "row 2 of table \"world.city\" has no attribute \"Database_field\""},
      {"row_without_type.vrk", "", "row 2 of table \"world.city\" has no attribute \"Type\""},
      {nullptr, twoTables, "row 2 of table \"d.t2\" has no attribute \"Database_field\""},
      {"no_project.vrk", "", "the document element \"Brannoch_Project\" has no child element"},
      {nullptr, "<Brannoch_Project>text</Brannoch_Project>", "has no child element"},
  };
  TempDir dir;
  for (const auto& c : cases) {
    const std::string file = c.Fixture ? Fixture(c.Fixture) : dir.File("damaged.vrk");
    SCOPED_TRACE(c.Fixture ? c.Fixture : c.Content.substr(0, 60));
    if (c.Fixture) ASSERT_TRUE(FileExists(file));
    else WriteFile(file, c.Content);

    TProjectManager p;
    p.ProjectName = "Open";
    p.RowNumber = 42;
    p.AddTable(MakeTable("db", "already"));
    const std::string before = Dump(p);
    RecordingListener listener;
    p.AddListener(&listener);
    RecordingProgress progress;
    try {
      XMLManager().LoadProject(file, p, &progress);
      ADD_FAILURE() << "no error raised";
    } catch (const EXMLDocError& e) {
      EXPECT_THAT(e.Message(), HasSubstr(file));
      EXPECT_THAT(e.Message(), HasSubstr(c.Message));
    }
    EXPECT_EQ(Dump(p), before);
    EXPECT_TRUE(listener.Added.empty());
    EXPECT_EQ(progress.Starts, 1);
    EXPECT_EQ(progress.Finishes, 1);  // the window is closed on failure too
  }
}

TEST(ProjectFileTest, FailedSaveRaisesAndLeavesTheOldFileAlone) {
  TempDir dir;
  TProjectManager p;
  FillProject(p);

  RecordingProgress progress;  // a folder that does not exist
  EXPECT_THROW(XMLManager().SaveProject(dir.File("missing/p.vrk"), p, &progress), EInOutError);
  EXPECT_FALSE(DirectoryExists(dir.File("missing")));
  EXPECT_EQ(progress.Finishes, 1);
  EXPECT_NE(progress.Values.back(), 100);

  ForceDirectories(dir.File("folder.vrk"));  // the target is a folder
  WriteFile(dir.File("folder.vrk/inside"), "x");
  EXPECT_THROW(XMLManager().SaveProject(dir.File("folder.vrk"), p), EInOutError);
  EXPECT_EQ(ReadFile(dir.File("folder.vrk/inside")), "x");

  // An existing file whose temporary sibling cannot be created (its name would be too long).
  const std::string longName = dir.File(std::string(250, 'p'));
  WriteFile(longName, "old content");
  EXPECT_THROW(XMLManager().SaveProject(longName, p), EInOutError);
  EXPECT_EQ(ReadFile(longName), "old content");
  EXPECT_EQ(FindFiles(dir.Path(), "*").size(), 2u);  // no temporary file left behind
}

}  // namespace
