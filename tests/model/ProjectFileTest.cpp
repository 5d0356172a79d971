// Project file: writer and reader of XMLManager.

#include "model/XMLIO.h"

#include "core/Exception.h"
#include "core/Files.h"
#include "core/XmlDocument.h"
#include "support/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <string>
#include <vector>

using qftest::ReadFile;
using qftest::TempDir;
using qftest::WriteFile;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

/** Records what a progress window is asked to do. */
class RecordingProgress : public IProgressDisplay {
public:
  void Start() override { ++Starts; }
  void SetProgress(int percent) override { Values.push_back(percent); }
  void Finish() override { ++Finishes; }
  int Starts = 0;
  int Finishes = 0;
  std::vector<int> Values;
};

/** Records tables added and removed, as "db.name". */
class RecordingListener : public ITableListener {
public:
  void TableAdded(const TWebTable& table) override { Added.push_back(table.DB + "." + table.Name); }
  void TableRemoved(const std::string& database, const std::string& tableName) override {
    Removed.push_back(database + "." + tableName);
  }
  std::vector<std::string> Added;
  std::vector<std::string> Removed;
};

std::unique_ptr<TWebInput> MakeColumn(const std::string& name, int variant) {
  auto c = std::make_unique<TWebInput>(name);
  const std::string v = std::to_string(variant);
  c->Database_field = name;
  c->Type = "enum('a','b c','it''s') <&>\"'";
  c->Size = 77 + variant;  // kept in memory only
  c->Key = true;
  c->Caption = "Caption " + v + " Zürich 東京";
  c->List = true;
  c->Detail = true;
  c->Insert = true;
  c->Update = true;
  c->Input_type = "Combobox";
  c->View_type = "Picture";
  c->UseHint = true;
  c->HintText = "line one\r\nline two\nline three\r\n";
  c->Filter_type = "Interval";
  TBaseHtmlInput& h = *c->HtmlInput;
  h.iName = "  name with blanks  ";
  h.iId = "id_" + v;
  h.iCss = "css<" + v + ">";
  h.iCheckType = "Email";
  h.iRequired = true;
  h.iErrorText = "Bad & wrong ]]> \"quoted\" 'single'";
  h.iCheckMin = "-5";
  h.iCheckMax = "1e9";
  h.iReadOnly = true;
  h.iLength = -3;
  h.iMax = 255 + variant;
  h.iValue = "\t";
  h.iLElementFromDb = true;
  h.iLDb = "shop";
  h.iLTable = "countries";
  h.iLDisplayField = "name";
  h.iLValueField = "code";
  h.iLWhereField = "active";
  h.iLRelation = "<=";
  h.iLValue = "1";
  h.iLShort = "Desc";
  h.iLDistinct = false;
  h.iLSQL = "SELECT a, b\nFROM t\r\nWHERE x < 3 AND y > 'z'";
  h.iLSource = 1;
  h.ItemList.Add("Yes=1");
  h.ItemList.Add("No=0");
  h.ItemList.Add("A = B = C");
  h.ItemList.Add("");
  h.ItemList.Add("   ");
  h.ItemList.Add("München=東京");
  h.iTAWidth = INT32_MIN;
  h.iTALines = INT32_MAX;
  h.iTAWrap = true;
  h.iTADefault = "\r\n";
  h.iTARequired = true;
  h.iTAErrorText = "required\n";
  h.iHiValue = "hidden " + v;
  h.iRaHorizontal = true;
  h.iFileUpDir = "uploads/" + v + "/";
  h.iFileUpSize = "1048576";
  return c;
}

/** A project whose every saved field differs from both the constructor's and
 *  the reader's defaults. */
void FillProject(TProjectManager& p) {
  p.ProjectName = "Shop <&> \"Zürich\" '東京'";
  p.Project_path = "/home/user/Projects/";
  p.Project_output = "/var/www/shop/";
  p.Project_comment = "first line\r\nsecond line\nthird line";
  p.LocalDomain = "http://localhost/shop/?a=1&b=2";
  p.UseLocalDomain = true;
  p.Database_host = "db.example.org";
  p.Database_user = "admin";
  p.Database_password = "p<a>s&s\"w'o rd ";
  p.Database_port = -1;
  p.Database_name = "shop";
  p.FTPHost = "ftp.example.org";
  p.FTPUser = "ftp user";
  p.FTPPassword = "  ";
  p.FTPDir = "/htdocs";
  p.SecurityMode = "Table";
  p.AdminName = "boss";
  p.AdminPass = "secret";
  p.SiteCaption = "The shop — Zürich 東京";
  p.CSS = "blue";
  p.TableWidth = -100;
  p.WidthType = 2;
  p.TableAlign = "\t";
  p.RowNumber = 0;
  p.mailSendTo = "a@example.org";
  p.mailSubject = "Change <notice>";
  p.mailFrom = "b@example.org";
  p.mailOnInsert = true;
  p.mailOnUpdate = true;
  p.mailOnDelete = true;
  p.mailAllData = true;
  p.mailListData = true;
  p.mailNoData = true;

  const char* names[] = {"customers", "orders", "Straße"};
  for (int t = 0; t < 3; ++t) {
    auto table = std::make_unique<TWebTable>();
    table->DB = t == 2 ? "other db" : "shop";
    table->Name = names[t];
    table->Caption = t == 1 ? "" : std::string("  ") + names[t] + " <&\"'> ";
    table->InsertRight = "Admin";
    table->UpdateRight = "Admin ";
    table->DeleteRight = "";
    table->DetailRight = "admin\r\nx";
    table->ListRight = "Admin";
    table->SendMail = t != 1;
    for (int c = 0; c < 2 + t; ++c) table->AddToInputList(MakeColumn(std::string(names[t]) + "_col" + std::to_string(c), c));
    p.AddTable(std::move(table));
  }
}

void ExpectSameColumn(const TWebInput& a, const TWebInput& b, const std::string& where) {
  SCOPED_TRACE(where);
  EXPECT_EQ(a.Database_field, b.Database_field);
  EXPECT_EQ(a.Type, b.Type);
  EXPECT_EQ(a.Key, b.Key);
  EXPECT_EQ(a.Caption, b.Caption);
  EXPECT_EQ(a.List, b.List);
  EXPECT_EQ(a.Detail, b.Detail);
  EXPECT_EQ(a.Insert, b.Insert);
  EXPECT_EQ(a.Update, b.Update);
  EXPECT_EQ(a.Input_type, b.Input_type);
  EXPECT_EQ(a.View_type, b.View_type);
  EXPECT_EQ(a.UseHint, b.UseHint);
  EXPECT_EQ(a.HintText, b.HintText);
  EXPECT_EQ(a.Filter_type, b.Filter_type);
  const TBaseHtmlInput& x = *a.HtmlInput;
  const TBaseHtmlInput& y = *b.HtmlInput;
  EXPECT_EQ(x.iName, y.iName);
  EXPECT_EQ(x.iId, y.iId);
  EXPECT_EQ(x.iCss, y.iCss);
  EXPECT_EQ(x.iCheckType, y.iCheckType);
  EXPECT_EQ(x.iRequired, y.iRequired);
  EXPECT_EQ(x.iErrorText, y.iErrorText);
  EXPECT_EQ(x.iCheckMin, y.iCheckMin);
  EXPECT_EQ(x.iCheckMax, y.iCheckMax);
  EXPECT_EQ(x.iReadOnly, y.iReadOnly);
  EXPECT_EQ(x.iLength, y.iLength);
  EXPECT_EQ(x.iMax, y.iMax);
  EXPECT_EQ(x.iValue, y.iValue);
  EXPECT_EQ(x.iLElementFromDb, y.iLElementFromDb);
  EXPECT_EQ(x.iLDb, y.iLDb);
  EXPECT_EQ(x.iLTable, y.iLTable);
  EXPECT_EQ(x.iLDisplayField, y.iLDisplayField);
  EXPECT_EQ(x.iLValueField, y.iLValueField);
  EXPECT_EQ(x.iLWhereField, y.iLWhereField);
  EXPECT_EQ(x.iLRelation, y.iLRelation);
  EXPECT_EQ(x.iLValue, y.iLValue);
  EXPECT_EQ(x.iLShort, y.iLShort);
  EXPECT_EQ(x.iLDistinct, y.iLDistinct);
  EXPECT_EQ(x.iLSQL, y.iLSQL);
  EXPECT_EQ(x.iLSource, y.iLSource);
  EXPECT_EQ(x.ItemList.Lines(), y.ItemList.Lines());
  EXPECT_EQ(x.iTAWidth, y.iTAWidth);
  EXPECT_EQ(x.iTALines, y.iTALines);
  EXPECT_EQ(x.iTAWrap, y.iTAWrap);
  EXPECT_EQ(x.iTADefault, y.iTADefault);
  EXPECT_EQ(x.iTARequired, y.iTARequired);
  EXPECT_EQ(x.iTAErrorText, y.iTAErrorText);
  EXPECT_EQ(x.iHiValue, y.iHiValue);
  EXPECT_EQ(x.iRaHorizontal, y.iRaHorizontal);
  EXPECT_EQ(x.iFileUpDir, y.iFileUpDir);
  EXPECT_EQ(x.iFileUpSize, y.iFileUpSize);
}

/** Every saved field, the tables and their columns. */
void ExpectSameProject(const TProjectManager& a, const TProjectManager& b) {
  EXPECT_EQ(a.ProjectName, b.ProjectName);
  EXPECT_EQ(a.Project_path, b.Project_path);
  EXPECT_EQ(a.Project_output, b.Project_output);
  EXPECT_EQ(a.Project_comment, b.Project_comment);
  EXPECT_EQ(a.LocalDomain, b.LocalDomain);
  EXPECT_EQ(a.UseLocalDomain, b.UseLocalDomain);
  EXPECT_EQ(a.Database_host, b.Database_host);
  EXPECT_EQ(a.Database_user, b.Database_user);
  EXPECT_EQ(a.Database_password, b.Database_password);
  EXPECT_EQ(a.Database_port, b.Database_port);
  EXPECT_EQ(a.Database_name, b.Database_name);
  EXPECT_EQ(a.FTPHost, b.FTPHost);
  EXPECT_EQ(a.FTPUser, b.FTPUser);
  EXPECT_EQ(a.FTPPassword, b.FTPPassword);
  EXPECT_EQ(a.FTPDir, b.FTPDir);
  EXPECT_EQ(a.SecurityMode, b.SecurityMode);
  EXPECT_EQ(a.AdminName, b.AdminName);
  EXPECT_EQ(a.AdminPass, b.AdminPass);
  EXPECT_EQ(a.SiteCaption, b.SiteCaption);
  EXPECT_EQ(a.CSS, b.CSS);
  EXPECT_EQ(a.TableWidth, b.TableWidth);
  EXPECT_EQ(a.WidthType, b.WidthType);
  EXPECT_EQ(a.TableAlign, b.TableAlign);
  EXPECT_EQ(a.RowNumber, b.RowNumber);
  EXPECT_EQ(a.mailSendTo, b.mailSendTo);
  EXPECT_EQ(a.mailSubject, b.mailSubject);
  EXPECT_EQ(a.mailFrom, b.mailFrom);
  EXPECT_EQ(a.mailOnInsert, b.mailOnInsert);
  EXPECT_EQ(a.mailOnUpdate, b.mailOnUpdate);
  EXPECT_EQ(a.mailOnDelete, b.mailOnDelete);
  EXPECT_EQ(a.mailAllData, b.mailAllData);
  EXPECT_EQ(a.mailListData, b.mailListData);
  EXPECT_EQ(a.mailNoData, b.mailNoData);
  ASSERT_EQ(a.GetTableCount(), b.GetTableCount());
  for (int t = 0; t < a.GetTableCount(); ++t) {
    const TWebTable& x = *a.GetTable(t);
    const TWebTable& y = *b.GetTable(t);
    SCOPED_TRACE("table " + std::to_string(t));
    EXPECT_EQ(x.DB, y.DB);
    EXPECT_EQ(x.Name, y.Name);
    EXPECT_EQ(x.Caption, y.Caption);
    EXPECT_EQ(x.InsertRight, y.InsertRight);
    EXPECT_EQ(x.UpdateRight, y.UpdateRight);
    EXPECT_EQ(x.DeleteRight, y.DeleteRight);
    EXPECT_EQ(x.DetailRight, y.DetailRight);
    EXPECT_EQ(x.ListRight, y.ListRight);
    EXPECT_EQ(x.SendMail, y.SendMail);
    ASSERT_EQ(x.GetInputListSize(), y.GetInputListSize());
    for (int c = 0; c < x.GetInputListSize(); ++c)
      ExpectSameColumn(*x.GetInputListElement(c), *y.GetInputListElement(c), "column " + std::to_string(c));
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

// ------------------------------------------------------------------ round trip

TEST(ProjectFileTest, RoundTripKeepsEverySavedField) {
  TempDir dir;
  TProjectManager saved;
  FillProject(saved);
  const std::string file = dir.File("shop.vrk");
  XMLManager writer;
  EXPECT_TRUE(writer.SaveProject(file, saved));

  TProjectManager loaded;
  XMLManager().LoadProject(file, loaded);
  ExpectSameProject(saved, loaded);

  // Size is not stored; the user's "distinct" choice is.
  for (const auto& t : loaded.Tables)
    for (const auto& c : t->InputList) {
      EXPECT_EQ(c->Size, 0);
      EXPECT_FALSE(c->HtmlInput->iLDistinct);
    }
  // Selection state is not part of the file.
  EXPECT_EQ(loaded.CurrentDatabase, "");
  EXPECT_EQ(loaded.CurrentRow, 0);
}

TEST(ProjectFileTest, SavingTheLoadedProjectGivesTheSameBytes) {
  TempDir dir;
  TProjectManager p;
  FillProject(p);
  XMLManager().SaveProject(dir.File("a.vrk"), p);
  TProjectManager q;
  XMLManager().LoadProject(dir.File("a.vrk"), q);
  XMLManager().SaveProject(dir.File("b.vrk"), q);
  EXPECT_EQ(ReadFile(dir.File("a.vrk")), ReadFile(dir.File("b.vrk")));
}

TEST(ProjectFileTest, FileIsUtf8WithoutByteOrderMarkAndKeepsPasswordsReadable) {
  TempDir dir;
  TProjectManager p;
  FillProject(p);
  XMLManager().SaveProject(dir.File("a.vrk"), p);
  const std::string data = ReadFile(dir.File("a.vrk"));
  ASSERT_GE(data.size(), 3u);
  EXPECT_NE(data.substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_THAT(data, HasSubstr("Zürich 東京"));
  EXPECT_THAT(data, HasSubstr("<AdminPass>secret</AdminPass>"));
  EXPECT_THAT(data, HasSubstr("<iLDistinct>false</iLDistinct>"));
}

TEST(ProjectFileTest, EmptyValuesComeBackAsTheReaderDefaults) {
  TempDir dir;
  TProjectManager p;
  p.ProjectName = "Named";
  p.Database_name = "";
  p.SiteCaption = "";
  p.TableAlign = "";
  p.CSS = "";
  p.Database_host = "";
  p.SecurityMode = "";
  auto t = std::make_unique<TWebTable>();
  t->Name = "t";
  t->AddToInputList(std::make_unique<TWebInput>("c"));
  t->InputList[0]->HtmlInput->iName = "";
  t->InputList[0]->HtmlInput->iCheckMin = "";
  p.AddTable(std::move(t));
  XMLManager().SaveProject(dir.File("a.vrk"), p);

  TProjectManager q;
  XMLManager().LoadProject(dir.File("a.vrk"), q);
  EXPECT_EQ(q.Database_name, "mysql");
  EXPECT_EQ(q.SiteCaption, "Named");
  EXPECT_EQ(q.TableAlign, "center");
  EXPECT_EQ(q.CSS, "default");
  EXPECT_EQ(q.Database_host, "");
  EXPECT_EQ(q.SecurityMode, "");
  ASSERT_EQ(q.GetTableCount(), 1);
  const TWebTable& lt = *q.GetTable(0);
  EXPECT_EQ(lt.Caption, "");  // attribute present but empty
  EXPECT_EQ(lt.InsertRight, "");
  ASSERT_EQ(lt.GetInputListSize(), 1);
  EXPECT_EQ(lt.InputList[0]->HtmlInput->iName, "");
  EXPECT_EQ(lt.InputList[0]->HtmlInput->iCheckMin, "");
  EXPECT_TRUE(lt.InputList[0]->HtmlInput->iLDistinct);
}

// ------------------------------------------------------------------ golden file

/** A small fixed project whose file is kept as tests/fixtures/projects/golden.vrk. */
void FillGoldenProject(TProjectManager& p) {
  p.ProjectName = "Golden";
  p.Project_path = "/data/projects/";
  p.Project_output = "/data/www/";
  p.Project_comment = "Two lines\r\nof comment";
  p.LocalDomain = "http://localhost/golden/";
  p.UseLocalDomain = true;
  p.Database_password = "pw";
  p.Database_name = "golden";
  p.Database_port = 3307;
  p.FTPHost = "ftp.example.org";
  p.SecurityMode = "Table";
  p.SiteCaption = "Golden & Co";
  p.mailOnUpdate = true;
  p.mailListData = true;

  auto t = std::make_unique<TWebTable>();
  t->DB = "golden";
  t->Name = "city";
  t->Caption = "Cities";
  t->InsertRight = "Admin";
  t->UpdateRight = "Admin";
  t->DeleteRight = "Admin";
  t->DetailRight = "Guest";
  t->ListRight = "Guest";
  t->SendMail = true;
  auto id = std::make_unique<TWebInput>("id");
  id->Database_field = "id";
  id->Type = "int(11)";
  id->Key = true;
  id->Caption = "Id";
  id->List = true;
  id->Detail = true;
  id->Input_type = "Hidden";
  id->View_type = "Number";
  id->Filter_type = "No";
  t->AddToInputList(std::move(id));
  auto kind = std::make_unique<TWebInput>("kind");
  kind->Database_field = "kind";
  kind->Type = "enum('town','village')";
  kind->Caption = "Kind";
  kind->Insert = kind->Update = kind->List = true;
  kind->Input_type = "Combobox";
  kind->View_type = "Text";
  kind->Filter_type = "Like";
  kind->UseHint = true;
  kind->HintText = "Town <or> village";
  kind->HtmlInput->iLSource = 1;
  kind->HtmlInput->ItemList.Add("Town=town");
  kind->HtmlInput->ItemList.Add("Village=village");
  t->AddToInputList(std::move(kind));
  p.AddTable(std::move(t));

  auto empty = std::make_unique<TWebTable>();
  empty->DB = "golden";
  empty->Name = "log";
  empty->Caption = "log";
  empty->InsertRight = empty->UpdateRight = empty->DeleteRight = empty->DetailRight = empty->ListRight = "Guest";
  p.AddTable(std::move(empty));
}

TEST(ProjectFileTest, WriterMatchesTheGoldenFileByteForByte) {
  TempDir dir;
  TProjectManager p;
  FillGoldenProject(p);
  XMLManager().SaveProject(dir.File("golden.vrk"), p);
  EXPECT_EQ(ReadFile(dir.File("golden.vrk")), ReadFile(Fixture("golden.vrk")));
}

TEST(ProjectFileTest, GoldenFileReadsBackAsTheProject) {
  TProjectManager expected;
  FillGoldenProject(expected);
  TProjectManager loaded;
  XMLManager().LoadProject(Fixture("golden.vrk"), loaded);
  ExpectSameProject(expected, loaded);
}

TEST(ProjectFileTest, GoldenFileNamesElementsAndAttributesInWriterOrder) {
  // Independent of the layout: walk the saved document and list the names.
  TXmlDocument doc;
  doc.LoadFromFile(Fixture("golden.vrk"));
  const TXmlNode root = doc.DocumentElement();
  EXPECT_EQ(root.NodeName(), "Brannoch_Project");
  ASSERT_EQ(root.ChildCount(), 1);
  const TXmlNode project = root.Child(0);
  EXPECT_EQ(project.NodeName(), "Project");
  std::vector<std::string> names;
  project.ForEachChild([&](const TXmlNode& c) { names.push_back(c.NodeName()); });
  EXPECT_THAT(names,
              ElementsAre("Project_path", "Project_output", "Project_comment", "LocalDomain", "UseLocalDomain",
                          "Database_host", "Database_user", "Database_password", "Database_name", "Database_port",
                          "FTPHost", "FTPUser", "FTPPassword", "FTPDir", "SecurityMode", "AdminName", "AdminPass",
                          "SiteCaption", "TableAlign", "RowNumber", "TableWidth", "WidthType", "CSS", "mailSendTo",
                          "mailSubject", "mailFrom", "mailOnInsert", "mailOnUpdate", "mailOnDelete", "mailAllData",
                          "mailListData", "mailNoData", "Tables"));

  std::vector<std::string> attrs;
  const TXmlNode table = project.ChildByName("Tables").Child(0);
  for (pugi::xml_attribute a : table.Raw().attributes()) attrs.push_back(a.name());
  EXPECT_THAT(attrs, ElementsAre("Name", "DB", "Caption", "InsertRight", "UpdateRight", "DeleteRight", "DetailRight",
                                 "ListRight", "SendMail"));
  ASSERT_EQ(table.ChildCount(), 1);
  const TXmlNode row = table.ChildByName("Rows").Child(1);
  attrs.clear();
  for (pugi::xml_attribute a : row.Raw().attributes()) attrs.push_back(a.name());
  EXPECT_THAT(attrs, ElementsAre("Database_field", "Type"));
  names.clear();
  row.ForEachChild([&](const TXmlNode& c) { names.push_back(c.NodeName()); });
  EXPECT_THAT(names,
              ElementsAre("Key", "Caption", "Insert", "Update", "List", "Detail", "View_type", "Input_type",
                          "Filter_type", "UseHint", "HintText", "iName", "iId", "iCss", "iCheckType", "iRequired",
                          "iErrorText", "iCheckMin", "iCheckMax", "iReadOnly", "iLength", "iMax", "iValue", "iHiValue",
                          "iRaHorizontal", "iFileUpDir", "iFileUpSize", "iTAWidth", "iTALines", "iTAWrap",
                          "iTADefault", "iTARequired", "iTAErrorText", "iLElementFromDb", "iLDb", "iLTable",
                          "iLDisplayField", "iLValueField", "iLWhereField", "iLRelation", "iLValue", "iLShort",
                          "iLSQL", "iLSource", "iLDistinct", "ItemList"));
  names.clear();
  row.ChildByName("ItemList").ForEachChild([&](const TXmlNode& c) { names.push_back(c.NodeName() + ":" + c.Text()); });
  EXPECT_THAT(names, ElementsAre("Item:Town=town", "Item:Village=village"));
}

// ------------------------------------------------------------------ reader defaults and edge cases

TEST(ProjectFileTest, MinimalFileGivesTheReaderDefaults) {
  TProjectManager p;
  XMLManager().LoadProject(Fixture("minimal.vrk"), p);
  EXPECT_EQ(p.ProjectName, "Minimal");
  EXPECT_EQ(p.SiteCaption, "Minimal");
  EXPECT_EQ(p.Database_host, "");
  EXPECT_EQ(p.Database_user, "");
  EXPECT_EQ(p.Database_password, "");
  EXPECT_EQ(p.Database_name, "mysql");
  EXPECT_EQ(p.Database_port, 3306);
  EXPECT_EQ(p.SecurityMode, "");
  EXPECT_EQ(p.TableAlign, "center");
  EXPECT_EQ(p.RowNumber, 10);
  EXPECT_EQ(p.TableWidth, 80);
  EXPECT_EQ(p.WidthType, 0);
  EXPECT_EQ(p.CSS, "default");
  EXPECT_FALSE(p.UseLocalDomain);
  EXPECT_FALSE(p.mailOnInsert || p.mailOnUpdate || p.mailOnDelete || p.mailAllData || p.mailListData || p.mailNoData);

  ASSERT_EQ(p.GetTableCount(), 1);
  const TWebTable& t = *p.GetTable(0);
  EXPECT_EQ(t.Name, "city");
  EXPECT_EQ(t.DB, "");
  EXPECT_EQ(t.Caption, "city");
  for (const std::string* right : {&t.InsertRight, &t.UpdateRight, &t.DeleteRight, &t.DetailRight, &t.ListRight})
    EXPECT_EQ(*right, "Guest");
  EXPECT_FALSE(t.SendMail);

  ASSERT_EQ(t.GetInputListSize(), 1);
  const TWebInput& c = *t.GetInputListElement(0);
  EXPECT_EQ(c.Database_field, "id");
  EXPECT_EQ(c.Type, "int(11)");
  EXPECT_FALSE(c.Key || c.Insert || c.Update || c.List || c.Detail || c.UseHint);
  EXPECT_EQ(c.Caption, "");
  const TBaseHtmlInput& h = *c.HtmlInput;
  EXPECT_EQ(h.iName, "");
  EXPECT_EQ(h.iId, "");
  EXPECT_EQ(h.iCheckType, "");
  EXPECT_EQ(h.iCheckMin, "");
  EXPECT_EQ(h.iCheckMax, "");
  EXPECT_EQ(h.iLength, 20);
  EXPECT_EQ(h.iMax, 20);
  EXPECT_EQ(h.iTAWidth, 0);
  EXPECT_EQ(h.iTALines, 0);
  EXPECT_EQ(h.iLSource, 0);
  EXPECT_TRUE(h.iLDistinct);
  EXPECT_FALSE(h.iRequired || h.iReadOnly || h.iTAWrap || h.iTARequired || h.iRaHorizontal || h.iLElementFromDb);
  EXPECT_TRUE(h.ItemList.Empty());
}

struct ReadCase {
  const char* Name;
  std::string Xml;
  std::function<void(const TProjectManager&)> Check;
};

const TWebTable& OnlyTable(const TProjectManager& p) {
  if (p.GetTableCount() != 1) throw std::runtime_error("expected one table");
  return *p.GetTable(0);
}
const TBaseHtmlInput& OnlyInput(const TProjectManager& p) { return *OnlyTable(p).GetInputListElement(0)->HtmlInput; }

TEST(ProjectFileTest, ReaderRulesForOddValues) {
  const std::vector<ReadCase> cases = {
      {"RowNumber not a number", ProjectXml("<RowNumber>abc</RowNumber>"),
       [](const TProjectManager& p) { EXPECT_EQ(p.RowNumber, 10); }},
      {"RowNumber empty", ProjectXml("<RowNumber></RowNumber>"),
       [](const TProjectManager& p) { EXPECT_EQ(p.RowNumber, 10); }},
      {"RowNumber with blanks", ProjectXml("<RowNumber> 12</RowNumber>"),
       [](const TProjectManager& p) { EXPECT_EQ(p.RowNumber, 10); }},
      {"RowNumber negative", ProjectXml("<RowNumber>-7</RowNumber>"),
       [](const TProjectManager& p) { EXPECT_EQ(p.RowNumber, -7); }},
      {"port beyond 32 bits", ProjectXml("<Database_port>4294967296</Database_port>"),
       [](const TProjectManager& p) { EXPECT_EQ(p.Database_port, 3306); }},
      {"SecurityMode absent", ProjectXml("<Database_host>h</Database_host>"),
       [](const TProjectManager& p) {
         EXPECT_EQ(p.SecurityMode, "");
         EXPECT_EQ(p.Database_host, "h");
       }},
      {"SiteCaption empty", ProjectXml("<SiteCaption/>"),
       [](const TProjectManager& p) { EXPECT_EQ(p.SiteCaption, "P"); }},
      {"TableAlign whitespace kept", ProjectXml("<TableAlign>  </TableAlign>"),
       [](const TProjectManager& p) { EXPECT_EQ(p.TableAlign, "  "); }},
      {"Boolean in capitals", ProjectXml("<UseLocalDomain>TRUE</UseLocalDomain><mailNoData>1</mailNoData>"),
       [](const TProjectManager& p) {
         EXPECT_TRUE(p.UseLocalDomain);
         EXPECT_FALSE(p.mailNoData);
       }},
      {"elements out of order", ProjectXml("<CSS>red</CSS><Database_name>db</Database_name><Project_path>x</Project_path>"),
       [](const TProjectManager& p) {
         EXPECT_EQ(p.CSS, "red");
         EXPECT_EQ(p.Database_name, "db");
         EXPECT_EQ(p.Project_path, "x");
       }},
      {"first of duplicate elements wins", ProjectXml("<CSS>one</CSS><RowNumber>5</RowNumber><CSS>two</CSS>"),
       [](const TProjectManager& p) {
         EXPECT_EQ(p.CSS, "one");
         EXPECT_EQ(p.RowNumber, 5);
       }},
      {"SendMail in capitals", OneRowXml(" Name=\"t\" SendMail=\"TRUE\"", ""),
       [](const TProjectManager& p) { EXPECT_TRUE(OnlyTable(p).SendMail); }},
      {"SendMail digit one", OneRowXml(" Name=\"t\" SendMail=\"1\"", ""),
       [](const TProjectManager& p) { EXPECT_FALSE(OnlyTable(p).SendMail); }},
      {"Caption present but empty", OneRowXml(" Name=\"t\" Caption=\"\"", ""),
       [](const TProjectManager& p) { EXPECT_EQ(OnlyTable(p).Caption, ""); }},
      {"Caption absent", OneRowXml(" Name=\"t\"", ""),
       [](const TProjectManager& p) { EXPECT_EQ(OnlyTable(p).Caption, "t"); }},
      {"rights present", OneRowXml(" Name=\"t\" ListRight=\"Admin\" DeleteRight=\"\"", ""),
       [](const TProjectManager& p) {
         EXPECT_EQ(OnlyTable(p).ListRight, "Admin");
         EXPECT_EQ(OnlyTable(p).DeleteRight, "");
         EXPECT_EQ(OnlyTable(p).InsertRight, "Guest");
       }},
      {"iLength not a number", OneRowXml("", "<iLength>x</iLength><iMax>-1</iMax>"),
       [](const TProjectManager& p) {
         EXPECT_EQ(OnlyInput(p).iLength, 20);
         EXPECT_EQ(OnlyInput(p).iMax, -1);
       }},
      {"iLDistinct empty", OneRowXml("", "<iLDistinct></iLDistinct>"),
       [](const TProjectManager& p) { EXPECT_TRUE(OnlyInput(p).iLDistinct); }},
      {"iLDistinct false", OneRowXml("", "<iLDistinct>False</iLDistinct>"),
       [](const TProjectManager& p) { EXPECT_FALSE(OnlyInput(p).iLDistinct); }},
      {"Key true", OneRowXml("", "<Key>true</Key><UseHint>yes</UseHint>"),
       [](const TProjectManager& p) {
         EXPECT_TRUE(OnlyTable(p).GetInputListElement(0)->Key);
         EXPECT_FALSE(OnlyTable(p).GetInputListElement(0)->UseHint);
       }},
      {"every ItemList child counts", OneRowXml("", "<ItemList><Item>a=1</Item><Other>b=2</Other><Item/></ItemList>"),
       [](const TProjectManager& p) { EXPECT_THAT(OnlyInput(p).ItemList.Lines(), ElementsAre("a=1", "b=2", "")); }},
      {"CDATA text", OneRowXml("", "<iLSQL><![CDATA[SELECT * FROM t WHERE a<b]]></iLSQL>"),
       [](const TProjectManager& p) { EXPECT_EQ(OnlyInput(p).iLSQL, "SELECT * FROM t WHERE a<b"); }},
      {"text in several parts", OneRowXml("", "<HintText>a<![CDATA[<b>]]>c</HintText><Caption>x<!-- note -->y</Caption>"),
       [](const TProjectManager& p) {
         EXPECT_EQ(OnlyTable(p).GetInputListElement(0)->HintText, "a<b>c");
         EXPECT_EQ(OnlyTable(p).GetInputListElement(0)->Caption, "xy");
       }},
      {"element inside a value element", OneRowXml("", "<Caption>x<b>bold</b>y</Caption><iMax><n>5</n></iMax>"),
       [](const TProjectManager& p) {
         EXPECT_EQ(OnlyTable(p).GetInputListElement(0)->Caption, "xy");
         EXPECT_EQ(OnlyInput(p).iMax, 20);
       }},
      {"every Tables child counts",
       ProjectXml("", "<Table Name=\"a\"/><Other Name=\"b\"/><!-- c --><Table Name=\"d\"><Rows/></Table>"),
       [](const TProjectManager& p) {
         ASSERT_EQ(p.GetTableCount(), 3);
         EXPECT_EQ(p.GetTable(1)->Name, "b");
         EXPECT_EQ(p.GetTable(2)->Name, "d");
         EXPECT_EQ(p.GetTable(0)->GetInputListSize(), 0);
       }},
      {"every Rows child counts",
       ProjectXml("", "<Table><Rows><Row Database_field=\"a\" Type=\"t\"/><Col Database_field=\"b\" Type=\"u\"/></Rows></Table>"),
       [](const TProjectManager& p) {
         ASSERT_EQ(OnlyTable(p).GetInputListSize(), 2);
         EXPECT_EQ(OnlyTable(p).GetInputListElement(1)->Database_field, "b");
         EXPECT_EQ(OnlyTable(p).GetInputListElement(1)->Type, "u");
       }},
      {"names of the top elements are not looked at",
       "<Other><Something name=\"X\"><RowNumber>3</RowNumber></Something></Other>",
       [](const TProjectManager& p) {
         EXPECT_EQ(p.ProjectName, "X");
         EXPECT_EQ(p.RowNumber, 3);
         EXPECT_EQ(p.GetTableCount(), 0);
       }},
      {"lines with CR LF inside a hand-written file",
       "<Brannoch_Project>\r\n<Project name=\"P\">\r\n<Project_comment>a\r\nb</Project_comment>\r\n"
       "<Tables>\r\n</Tables>\r\n</Project>\r\n</Brannoch_Project>\r\n",
       [](const TProjectManager& p) {
         EXPECT_EQ(p.Project_comment, "a\r\nb");
         EXPECT_EQ(p.GetTableCount(), 0);
       }},
  };
  TempDir dir;
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.Name);
    WriteFile(dir.File("case.vrk"), c.Xml);
    TProjectManager p;
    ASSERT_NO_THROW(XMLManager().LoadProject(dir.File("case.vrk"), p));
    c.Check(p);
  }
}

TEST(ProjectFileTest, ReadsUtf16WithByteOrderMark) {
  TempDir dir;
  const std::u16string text = u"<?xml version=\"1.0\" encoding=\"UTF-16\"?><Brannoch_Project><Project name=\"Zürich 東京\">"
                              u"<RowNumber>33</RowNumber><Tables/></Project></Brannoch_Project>";
  std::string bytes = "\xFF\xFE";
  for (char16_t ch : text) {
    bytes += static_cast<char>(ch & 0xFF);
    bytes += static_cast<char>(ch >> 8);
  }
  WriteFile(dir.File("utf16.vrk"), bytes);
  TProjectManager p;
  XMLManager().LoadProject(dir.File("utf16.vrk"), p);
  EXPECT_EQ(p.ProjectName, "Zürich 東京");
  EXPECT_EQ(p.RowNumber, 33);
}

TEST(ProjectFileTest, ProjectWithoutTables) {
  TempDir dir;
  TProjectManager p;
  p.ProjectName = "Empty";
  RecordingProgress saveProgress;
  XMLManager().SaveProject(dir.File("e.vrk"), p, &saveProgress);
  EXPECT_THAT(saveProgress.Values, ElementsAre(0, 100));
  EXPECT_THAT(ReadFile(dir.File("e.vrk")), HasSubstr("<Tables />"));

  TProjectManager q;
  RecordingListener listener;
  q.AddListener(&listener);
  RecordingProgress loadProgress;
  XMLManager().LoadProject(dir.File("e.vrk"), q, &loadProgress);
  EXPECT_EQ(q.ProjectName, "Empty");
  EXPECT_EQ(q.GetTableCount(), 0);
  EXPECT_TRUE(listener.Added.empty());
  EXPECT_THAT(loadProgress.Values, ElementsAre(0, 100));
}

// ------------------------------------------------------------------ progress

std::unique_ptr<TProjectManager> ProjectWithTables(int count) {
  auto p = std::make_unique<TProjectManager>();
  for (int i = 0; i < count; ++i) {
    auto t = std::make_unique<TWebTable>();
    t->DB = "db";
    t->Name = "t" + std::to_string(i);
    p->AddTable(std::move(t));
  }
  return p;
}

TEST(ProjectFileTest, ProgressStepsForSaveAndLoad) {
  struct Case {
    int Tables;
    std::vector<int> Expected;  // the first 0 is the window's start
  };
  std::vector<int> many(1 + 150, 0);
  many.push_back(100);
  const std::vector<Case> cases = {
      {1, {0, 0, 100}},
      {3, {0, 0, 33, 66, 100}},
      {7, {0, 0, 14, 28, 42, 56, 70, 84, 100}},
      {150, many},
  };
  TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.Tables) + " tables");
    auto p = ProjectWithTables(c.Tables);
    RecordingProgress save;
    XMLManager().SaveProject(dir.File("p.vrk"), *p, &save);
    EXPECT_EQ(save.Values, c.Expected);
    EXPECT_EQ(save.Starts, 1);
    EXPECT_EQ(save.Finishes, 1);

    TProjectManager q;
    RecordingProgress load;
    XMLManager().LoadProject(dir.File("p.vrk"), q, &load);
    EXPECT_EQ(load.Values, c.Expected);
    EXPECT_EQ(load.Starts, 1);
    EXPECT_EQ(load.Finishes, 1);
    EXPECT_EQ(q.GetTableCount(), c.Tables);
  }
}

// ------------------------------------------------------------------ loading into the open project

TEST(ProjectFileTest, MissingFileChangesNothingAndShowsNoProgress) {
  TempDir dir;
  TProjectManager p;
  RecordingListener listener;
  p.AddListener(&listener);
  RecordingProgress progress;
  for (const std::string& name : {dir.File("absent.vrk"), dir.Path(), std::string()}) {
    SCOPED_TRACE(name);
    XMLManager().LoadProject(name, p, &progress);
  }
  ExpectSameProject(TProjectManager(), p);
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
  auto existing = std::make_unique<TWebTable>();
  existing->DB = "old";
  existing->Name = "kept";
  p.AddTable(std::move(existing));
  RecordingListener listener;
  p.AddListener(&listener);
  XMLManager().LoadProject(dir.File("a.vrk"), p);
  EXPECT_THAT(listener.Added, ElementsAre("shop.customers", "shop.orders", "other db.Straße"));
  ASSERT_EQ(p.GetTableCount(), 4);
  EXPECT_EQ(p.GetTable(0)->Name, "kept");
  EXPECT_EQ(p.GetTable(3)->Name, "Straße");
  EXPECT_EQ(p.ProjectName, saved.ProjectName);
}

struct DamagedCase {
  const char* Name;
  std::string Content;   // empty: take the fixture named FixtureName
  const char* FixtureName;
  const char* Message;   // a part of the error text besides the file name
};

TEST(ProjectFileTest, DamagedFilesRaiseAndLeaveTheOpenProjectAlone) {
  TempDir dir;
  std::string golden = ReadFile(Fixture("golden.vrk"));
  const std::vector<DamagedCase> cases = {
      {"not XML", "", "not_xml.vrk", "not a well-formed XML document"},
      {"truncated", "", "truncated.vrk", "not a well-formed XML document"},
      {"truncated golden", golden.substr(0, golden.size() / 2), nullptr, "not a well-formed XML document"},
      {"empty file", "", nullptr, "XML"},
      {"no name attribute", "", "missing_name.vrk", "no attribute \"name\""},
      {"row without Database_field", "", "row_without_field.vrk", "\"Database_field\""},
      {"row without Type", "", "row_without_type.vrk", "\"Type\""},
      {"document element without child", "", "no_project.vrk", "has no child element"},
      {"only text in the document element", "<Brannoch_Project>text</Brannoch_Project>", nullptr, "no child element"},
  };
  for (const DamagedCase& c : cases) {
    SCOPED_TRACE(c.Name);
    std::string file;
    if (c.FixtureName) {
      file = Fixture(c.FixtureName);
      ASSERT_TRUE(FileExists(file));
    } else {
      file = dir.File("damaged.vrk");
      WriteFile(file, c.Content);
    }

    TProjectManager p;
    p.ProjectName = "Open";
    p.RowNumber = 42;
    p.SecurityMode = "Table";
    auto t = std::make_unique<TWebTable>();
    t->DB = "db";
    t->Name = "already";
    p.AddTable(std::move(t));
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
    EXPECT_EQ(p.ProjectName, "Open");
    EXPECT_EQ(p.RowNumber, 42);
    EXPECT_EQ(p.SecurityMode, "Table");
    EXPECT_EQ(p.Database_host, "localhost");
    ASSERT_EQ(p.GetTableCount(), 1);
    EXPECT_EQ(p.GetTable(0)->Name, "already");
    EXPECT_TRUE(listener.Added.empty());
    EXPECT_EQ(progress.Starts, 1);
    EXPECT_EQ(progress.Finishes, 1);  // the window is closed on failure too
  }
}

TEST(ProjectFileTest, ErrorForAMissingRowAttributeNamesTheRowAndTable) {
  TempDir dir;
  WriteFile(dir.File("r.vrk"),
            ProjectXml("", "<Table Name=\"t1\" DB=\"d\"><Rows><Row Database_field=\"a\" Type=\"x\"/></Rows></Table>"
                           "<Table Name=\"t2\" DB=\"d\"><Rows><Row Database_field=\"a\" Type=\"x\"/>"
                           "<Row Type=\"y\"/></Rows></Table>"));
  TProjectManager p;
  try {
    XMLManager().LoadProject(dir.File("r.vrk"), p);
    ADD_FAILURE() << "no error raised";
  } catch (const EXMLDocError& e) {
    EXPECT_THAT(e.Message(), HasSubstr("row 2 of table \"d.t2\""));
    EXPECT_THAT(e.Message(), HasSubstr("\"Database_field\""));
  }
  EXPECT_EQ(p.GetTableCount(), 0);  // the first, complete table is not adopted either
}

// ------------------------------------------------------------------ failed saves

TEST(ProjectFileTest, FailedSaveRaisesAndLeavesTheOldFileAlone) {
  TempDir dir;
  TProjectManager p;
  FillProject(p);

  // A folder that does not exist.
  RecordingProgress progress;
  EXPECT_THROW(XMLManager().SaveProject(dir.File("missing/p.vrk"), p, &progress), EInOutError);
  EXPECT_FALSE(DirectoryExists(dir.File("missing")));
  EXPECT_EQ(progress.Finishes, 1);
  EXPECT_EQ(std::find(progress.Values.begin(), progress.Values.end(), 100), progress.Values.end());

  // The target is a folder.
  ForceDirectories(dir.File("folder.vrk"));
  WriteFile(dir.File("folder.vrk/inside"), "x");
  EXPECT_THROW(XMLManager().SaveProject(dir.File("folder.vrk"), p), EInOutError);
  EXPECT_TRUE(DirectoryExists(dir.File("folder.vrk")));
  EXPECT_EQ(ReadFile(dir.File("folder.vrk/inside")), "x");

  // An existing file whose temporary sibling cannot be created (its name
  // would be too long): the old content survives.
  const std::string longName = dir.File(std::string(250, 'p'));
  WriteFile(longName, "old content");
  EXPECT_THROW(XMLManager().SaveProject(longName, p), EInOutError);
  EXPECT_EQ(ReadFile(longName), "old content");
  EXPECT_EQ(FindFiles(dir.Path(), "*").size(), 2u);  // no temporary file left behind
}

TEST(ProjectFileTest, SaveReplacesAnExistingFile) {
  TempDir dir;
  WriteFile(dir.File("p.vrk"), std::string(100000, 'x'));
  TProjectManager p;
  p.ProjectName = "Replaced";
  XMLManager().SaveProject(dir.File("p.vrk"), p);
  TProjectManager q;
  XMLManager().LoadProject(dir.File("p.vrk"), q);
  EXPECT_EQ(q.ProjectName, "Replaced");
  EXPECT_EQ(FindFiles(dir.Path(), "*"), std::vector<std::string>{"p.vrk"});
}

}  // namespace
