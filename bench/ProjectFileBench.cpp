// Saving and loading a large project file, against pugixml doing the same
// document in the same run: building and saving it (save ratio) and parsing
// it (load ratio).

#include "model/XMLIO.h"

#include <benchmark/benchmark.h>

#include "BenchRatio.h"
#include <pugixml.hpp>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kTables = 200;
constexpr int kColumns = 30;

const char* const kWords[] = {"customer", "order",   "invoice", "product", "supplier", "stock",  "payment",
                              "address",  "country", "city",    "employee", "shift",   "vehicle", "route",
                              "ticket",   "comment", "tag",     "session", "audit",    "report"};
const char* const kTypes[] = {"int(11)",        "varchar(255)",  "varchar(40)", "text",   "datetime",
                              "decimal(10,2)",  "tinyint(1)",    "date",        "char(2)", "bigint(20) unsigned",
                              "enum('new','open','closed','archived')", "set('red','green','blue')"};
const char* const kInputs[] = {"Text", "Textarea", "Combobox", "Listbox", "Checkbox", "Radiobox", "Password",
                               "Hidden", "File"};

std::string Word(int i) { return kWords[static_cast<size_t>(i) % std::size(kWords)]; }

/** 200 tables of 30 columns with the kind of values the schema import and the
 *  editors leave behind; every fifth column has a fixed item list, every
 *  seventh a lookup. */
std::unique_ptr<TProjectManager> MakeProject() {
  auto p = std::make_unique<TProjectManager>();
  p->ProjectName = "Benchmark";
  p->Project_path = "/home/user/Projects/";
  p->Project_output = "/var/www/benchmark/";
  p->Project_comment = "Generated for the benchmark.\r\nSecond line.";
  p->Database_name = "shop";
  p->SecurityMode = "Table";
  p->AdminName = "admin";
  p->AdminPass = "secret";
  for (int t = 0; t < kTables; ++t) {
    auto table = std::make_unique<TWebTable>();
    table->DB = t % 3 == 0 ? "shop" : "shop_archive";
    table->Name = Word(t) + "_" + std::to_string(t);
    table->Caption = Word(t) + " list " + std::to_string(t);
    table->InsertRight = t % 2 ? "Admin" : "Guest";
    table->UpdateRight = "Admin";
    table->DeleteRight = "Admin";
    table->DetailRight = "Guest";
    table->ListRight = "Guest";
    table->SendMail = t % 4 == 0;
    for (int c = 0; c < kColumns; ++c) {
      const std::string name = c == 0 ? "id" : Word(t + c) + "_" + std::to_string(c);
      auto col = std::make_unique<TWebInput>(name);
      col->Database_field = name;
      col->Type = kTypes[static_cast<size_t>(t + c) % std::size(kTypes)];
      col->Key = c == 0;
      col->Caption = Word(t + c) + " " + std::to_string(c);
      col->Insert = c != 0;
      col->Update = c != 0;
      col->List = c < 8;
      col->Detail = true;
      col->Input_type = kInputs[static_cast<size_t>(c) % std::size(kInputs)];
      col->View_type = c % 11 == 0 ? "Picture" : (c % 3 == 0 ? "Number" : "Text");
      col->Filter_type = c % 4 == 0 ? "Like" : "No";
      col->UseHint = c % 6 == 0;
      if (col->UseHint) col->HintText = "Enter the " + Word(t + c) + " as shown on the form.";
      TBaseHtmlInput& h = *col->HtmlInput;
      h.iCss = c % 2 ? "field" : "";
      h.iRequired = c % 3 == 0;
      if (h.iRequired) h.iErrorText = "Please fill in " + col->Caption;
      h.iLength = 20 + c;
      h.iMax = 255;
      if (c % 5 == 0) {
        h.iLSource = 1;
        for (int k = 0; k < 3 + c % 4; ++k) h.ItemList.Add("Choice " + std::to_string(k) + "=" + std::to_string(k));
      }
      if (c % 7 == 0) {
        h.iLElementFromDb = true;
        h.iLDb = table->DB;
        h.iLTable = Word(c);
        h.iLDisplayField = "name";
        h.iLValueField = "id";
        h.iLRelation = "All";
        h.iLShort = "Asc";
        h.iLSQL = "SELECT id, name FROM " + Word(c) + " ORDER BY name";
      }
      if (col->Input_type == "Textarea") {
        h.iTAWidth = 40;
        h.iTALines = 5;
        h.iTAWrap = true;
      }
      table->AddToInputList(std::move(col));
    }
    p->AddTable(std::move(table));
  }
  return p;
}

// ------------------------------------------------------------ pugixml baseline

void Text(pugi::xml_node parent, const char* name, const std::string& value) {
  pugi::xml_node n = parent.append_child(name);
  if (!value.empty()) n.append_child(pugi::node_pcdata).set_value(value.c_str());
}
void Bool(pugi::xml_node parent, const char* name, bool value) { Text(parent, name, value ? "true" : "false"); }
void Int(pugi::xml_node parent, const char* name, int value) { Text(parent, name, std::to_string(value)); }

/** The same document as the project writer's, built with plain pugixml. */
void BuildBaseline(pugi::xml_document& doc, const TProjectManager& p) {
  doc.reset();
  pugi::xml_node project = doc.append_child("Brannoch_Project").append_child("Project");
  project.append_attribute("name").set_value(p.ProjectName.c_str());
  Text(project, "Project_path", p.Project_path);
  Text(project, "Project_output", p.Project_output);
  Text(project, "Project_comment", p.Project_comment);
  Text(project, "LocalDomain", p.LocalDomain);
  Bool(project, "UseLocalDomain", p.UseLocalDomain);
  Text(project, "Database_host", p.Database_host);
  Text(project, "Database_user", p.Database_user);
  Text(project, "Database_password", p.Database_password);
  Text(project, "Database_name", p.Database_name);
  Int(project, "Database_port", p.Database_port);
  Text(project, "FTPHost", p.FTPHost);
  Text(project, "FTPUser", p.FTPUser);
  Text(project, "FTPPassword", p.FTPPassword);
  Text(project, "FTPDir", p.FTPDir);
  Text(project, "SecurityMode", p.SecurityMode);
  Text(project, "AdminName", p.AdminName);
  Text(project, "AdminPass", p.AdminPass);
  Text(project, "SiteCaption", p.SiteCaption);
  Text(project, "TableAlign", p.TableAlign);
  Int(project, "RowNumber", p.RowNumber);
  Int(project, "TableWidth", p.TableWidth);
  Int(project, "WidthType", p.WidthType);
  Text(project, "CSS", p.CSS);
  Text(project, "mailSendTo", p.mailSendTo);
  Text(project, "mailSubject", p.mailSubject);
  Text(project, "mailFrom", p.mailFrom);
  Bool(project, "mailOnInsert", p.mailOnInsert);
  Bool(project, "mailOnUpdate", p.mailOnUpdate);
  Bool(project, "mailOnDelete", p.mailOnDelete);
  Bool(project, "mailAllData", p.mailAllData);
  Bool(project, "mailListData", p.mailListData);
  Bool(project, "mailNoData", p.mailNoData);
  pugi::xml_node tables = project.append_child("Tables");
  for (const auto& t : p.Tables) {
    pugi::xml_node table = tables.append_child("Table");
    table.append_attribute("Name").set_value(t->Name.c_str());
    table.append_attribute("DB").set_value(t->DB.c_str());
    table.append_attribute("Caption").set_value(t->Caption.c_str());
    table.append_attribute("InsertRight").set_value(t->InsertRight.c_str());
    table.append_attribute("UpdateRight").set_value(t->UpdateRight.c_str());
    table.append_attribute("DeleteRight").set_value(t->DeleteRight.c_str());
    table.append_attribute("DetailRight").set_value(t->DetailRight.c_str());
    table.append_attribute("ListRight").set_value(t->ListRight.c_str());
    table.append_attribute("SendMail").set_value(t->SendMail ? "true" : "false");
    pugi::xml_node rows = table.append_child("Rows");
    for (const auto& c : t->InputList) {
      pugi::xml_node row = rows.append_child("Row");
      row.append_attribute("Database_field").set_value(c->Database_field.c_str());
      row.append_attribute("Type").set_value(c->Type.c_str());
      Bool(row, "Key", c->Key);
      Text(row, "Caption", c->Caption);
      Bool(row, "Insert", c->Insert);
      Bool(row, "Update", c->Update);
      Bool(row, "List", c->List);
      Bool(row, "Detail", c->Detail);
      Text(row, "View_type", c->View_type);
      Text(row, "Input_type", c->Input_type);
      Text(row, "Filter_type", c->Filter_type);
      Bool(row, "UseHint", c->UseHint);
      Text(row, "HintText", c->HintText);
      const TBaseHtmlInput& h = *c->HtmlInput;
      Text(row, "iName", h.iName);
      Text(row, "iId", h.iId);
      Text(row, "iCss", h.iCss);
      Text(row, "iCheckType", h.iCheckType);
      Bool(row, "iRequired", h.iRequired);
      Text(row, "iErrorText", h.iErrorText);
      Text(row, "iCheckMin", h.iCheckMin);
      Text(row, "iCheckMax", h.iCheckMax);
      Bool(row, "iReadOnly", h.iReadOnly);
      Int(row, "iLength", h.iLength);
      Int(row, "iMax", h.iMax);
      Text(row, "iValue", h.iValue);
      Text(row, "iHiValue", h.iHiValue);
      Bool(row, "iRaHorizontal", h.iRaHorizontal);
      Text(row, "iFileUpDir", h.iFileUpDir);
      Text(row, "iFileUpSize", h.iFileUpSize);
      Int(row, "iTAWidth", h.iTAWidth);
      Int(row, "iTALines", h.iTALines);
      Bool(row, "iTAWrap", h.iTAWrap);
      Text(row, "iTADefault", h.iTADefault);
      Bool(row, "iTARequired", h.iTARequired);
      Text(row, "iTAErrorText", h.iTAErrorText);
      Bool(row, "iLElementFromDb", h.iLElementFromDb);
      Text(row, "iLDb", h.iLDb);
      Text(row, "iLTable", h.iLTable);
      Text(row, "iLDisplayField", h.iLDisplayField);
      Text(row, "iLValueField", h.iLValueField);
      Text(row, "iLWhereField", h.iLWhereField);
      Text(row, "iLRelation", h.iLRelation);
      Text(row, "iLValue", h.iLValue);
      Text(row, "iLShort", h.iLShort);
      Text(row, "iLSQL", h.iLSQL);
      Int(row, "iLSource", h.iLSource);
      Bool(row, "iLDistinct", h.iLDistinct);
      pugi::xml_node items = row.append_child("ItemList");
      for (const std::string& line : h.ItemList) Text(items, "Item", line);
    }
  }
}

// ------------------------------------------------------------ fixture

struct Fixture {
  Fixture() {
    char tmpl[] = "/tmp/qfbench.XXXXXX";
    if (!::mkdtemp(tmpl)) std::abort();
    Dir = tmpl;
    Project = MakeProject();
    SavedFile = Dir + "/bench.vrk";
    XMLManager().SaveProject(SavedFile, *Project);
  }
  ~Fixture() {
    std::error_code ec;
    std::filesystem::remove_all(Dir, ec);
  }
  std::string Dir;
  std::unique_ptr<TProjectManager> Project;
  std::string SavedFile;
};

Fixture& Shared() {
  static Fixture f;
  return f;
}

void BM_SaveProject(benchmark::State& state) {
  Fixture& f = Shared();
  const std::string file = f.Dir + "/save.vrk";
  for (auto _ : state) {
    XMLManager m;
    benchmark::DoNotOptimize(m.SaveProject(file, *f.Project));
  }
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(file));
}

void BM_PugixmlBuildAndSave(benchmark::State& state) {
  Fixture& f = Shared();
  const std::string file = f.Dir + "/pugi.xml";
  for (auto _ : state) {
    pugi::xml_document doc;
    BuildBaseline(doc, *f.Project);
    if (!doc.save_file(file.c_str(), "\t", pugi::format_indent, pugi::encoding_utf8)) state.SkipWithError("save");
  }
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(file));
}

void BM_LoadProject(benchmark::State& state) {
  Fixture& f = Shared();
  for (auto _ : state) {
    TProjectManager p;
    XMLManager().LoadProject(f.SavedFile, p);
    if (p.GetTableCount() != kTables) state.SkipWithError("load");
  }
}

void BM_PugixmlParse(benchmark::State& state) {
  Fixture& f = Shared();
  for (auto _ : state) {
    pugi::xml_document doc;
    if (!doc.load_file(f.SavedFile.c_str())) state.SkipWithError("parse");
    benchmark::DoNotOptimize(doc.first_child());
  }
}

BENCHMARK(BM_SaveProject)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(0.5)->Repetitions(5);
BENCHMARK(BM_PugixmlBuildAndSave)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(0.5)->Repetitions(5);
BENCHMARK(BM_LoadProject)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(0.5)->Repetitions(5);
BENCHMARK(BM_PugixmlParse)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(0.5)->Repetitions(5);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  TRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  reporter.PrintRatio("save/pugixml", "BM_SaveProject", "BM_PugixmlBuildAndSave");
  reporter.PrintRatio("load/pugixml", "BM_LoadProject", "BM_PugixmlParse");
  return 0;
}
