#include "model/XMLIO.h"

#include "core/Exception.h"
#include "core/Files.h"
#include "core/TextUtils.h"
#include "model/General.h"

#include <cstring>
#include <vector>

namespace {

// ---------------------------------------------------------------- writing

void AddText(TXmlNode parent, const char* name, const std::string& value) { parent.AddChild(name, value); }
void AddBool(TXmlNode parent, const char* name, bool value) { parent.AddChild(name, BoolToText(value)); }
void AddInt(TXmlNode parent, const char* name, int32_t value) { parent.AddChild(name, IntToStr(value)); }

void WriteProjectFields(TXmlNode p, const TProjectManager& project) {
  AddText(p, "Project_path", project.Project_path);
  AddText(p, "Project_output", project.Project_output);
  AddText(p, "Project_comment", project.Project_comment);
  AddText(p, "LocalDomain", project.LocalDomain);
  AddBool(p, "UseLocalDomain", project.UseLocalDomain);
  AddText(p, "Database_host", project.Database_host);
  AddText(p, "Database_user", project.Database_user);
  AddText(p, "Database_password", project.Database_password);
  AddText(p, "Database_name", project.Database_name);
  AddInt(p, "Database_port", project.Database_port);
  AddText(p, "FTPHost", project.FTPHost);
  AddText(p, "FTPUser", project.FTPUser);
  AddText(p, "FTPPassword", project.FTPPassword);
  AddText(p, "FTPDir", project.FTPDir);
  AddText(p, "SecurityMode", project.SecurityMode);
  AddText(p, "AdminName", project.AdminName);
  AddText(p, "AdminPass", project.AdminPass);
  AddText(p, "SiteCaption", project.SiteCaption);
  AddText(p, "TableAlign", project.TableAlign);
  AddInt(p, "RowNumber", project.RowNumber);
  AddInt(p, "TableWidth", project.TableWidth);
  AddInt(p, "WidthType", project.WidthType);
  AddText(p, "CSS", project.CSS);
  AddText(p, "mailSendTo", project.mailSendTo);
  AddText(p, "mailSubject", project.mailSubject);
  AddText(p, "mailFrom", project.mailFrom);
  AddBool(p, "mailOnInsert", project.mailOnInsert);
  AddBool(p, "mailOnUpdate", project.mailOnUpdate);
  AddBool(p, "mailOnDelete", project.mailOnDelete);
  AddBool(p, "mailAllData", project.mailAllData);
  AddBool(p, "mailListData", project.mailListData);
  AddBool(p, "mailNoData", project.mailNoData);
}

void WriteRow(TXmlNode rows, const TWebInput& col) {
  TXmlNode row = rows.AddChild("Row");
  row.SetAttribute("Database_field", col.Database_field);
  row.SetAttribute("Type", col.Type);
  AddBool(row, "Key", col.Key);
  AddText(row, "Caption", col.Caption);
  AddBool(row, "Insert", col.Insert);
  AddBool(row, "Update", col.Update);
  AddBool(row, "List", col.List);
  AddBool(row, "Detail", col.Detail);
  AddText(row, "View_type", col.View_type);
  AddText(row, "Input_type", col.Input_type);
  AddText(row, "Filter_type", col.Filter_type);
  AddBool(row, "UseHint", col.UseHint);
  AddText(row, "HintText", col.HintText);

  const TBaseHtmlInput& h = *col.HtmlInput;
  AddText(row, "iName", h.iName);
  AddText(row, "iId", h.iId);
  AddText(row, "iCss", h.iCss);
  AddText(row, "iCheckType", h.iCheckType);
  AddBool(row, "iRequired", h.iRequired);
  AddText(row, "iErrorText", h.iErrorText);
  AddText(row, "iCheckMin", h.iCheckMin);
  AddText(row, "iCheckMax", h.iCheckMax);
  AddBool(row, "iReadOnly", h.iReadOnly);
  AddInt(row, "iLength", h.iLength);
  AddInt(row, "iMax", h.iMax);
  AddText(row, "iValue", h.iValue);
  AddText(row, "iHiValue", h.iHiValue);
  AddBool(row, "iRaHorizontal", h.iRaHorizontal);
  AddText(row, "iFileUpDir", h.iFileUpDir);
  AddText(row, "iFileUpSize", h.iFileUpSize);
  AddInt(row, "iTAWidth", h.iTAWidth);
  AddInt(row, "iTALines", h.iTALines);
  AddBool(row, "iTAWrap", h.iTAWrap);
  AddText(row, "iTADefault", h.iTADefault);
  AddBool(row, "iTARequired", h.iTARequired);
  AddText(row, "iTAErrorText", h.iTAErrorText);
  AddBool(row, "iLElementFromDb", h.iLElementFromDb);
  AddText(row, "iLDb", h.iLDb);
  AddText(row, "iLTable", h.iLTable);
  AddText(row, "iLDisplayField", h.iLDisplayField);
  AddText(row, "iLValueField", h.iLValueField);
  AddText(row, "iLWhereField", h.iLWhereField);
  AddText(row, "iLRelation", h.iLRelation);
  AddText(row, "iLValue", h.iLValue);
  AddText(row, "iLShort", h.iLShort);
  AddText(row, "iLSQL", h.iLSQL);
  AddInt(row, "iLSource", h.iLSource);
  // Not in the oldest project files; the reader takes True when it is absent.
  AddBool(row, "iLDistinct", h.iLDistinct);
  TXmlNode items = row.AddChild("ItemList");
  for (const std::string& line : h.ItemList) items.AddChild("Item", line);
}

void WriteTable(TXmlNode tables, const TWebTable& table) {
  TXmlNode t = tables.AddChild("Table");
  t.SetAttribute("Name", table.Name);
  t.SetAttribute("DB", table.DB);
  t.SetAttribute("Caption", table.Caption);
  t.SetAttribute("InsertRight", table.InsertRight);
  t.SetAttribute("UpdateRight", table.UpdateRight);
  t.SetAttribute("DeleteRight", table.DeleteRight);
  t.SetAttribute("DetailRight", table.DetailRight);
  t.SetAttribute("ListRight", table.ListRight);
  t.SetAttribute("SendMail", BoolToText(table.SendMail));
  TXmlNode rows = t.AddChild("Rows");
  for (const auto& col : table.InputList) WriteRow(rows, *col);
}

// ---------------------------------------------------------------- reading

/** Reads the child elements of one element by name under the reader's rules;
 *  an absent element reads as empty, and of several with one name the first
 *  counts. A plain lookup scans the children each time, some fifty scans per
 *  row. The reader asks for the names in the order the writer puts them, so
 *  the child after the last one found in place is tried first. Every child
 *  before it was handed out for an earlier name, and each name is asked for
 *  once, so a match there is the first child of that name. Other lookups
 *  scan from the start. */
class TElementReader {
public:
  explicit TElementReader(const TXmlElement& parent) : FParent(parent), FNext(parent.FirstChild()) {}

  // The names are literals: their lengths known where they are compared.

  /** Each name at most once per reader. */
  template <size_t N> TXmlElement Node(const char (&name)[N]) {
    const std::string_view n(name, N - 1);
    if (FNext.NameIs(n)) {
      const TXmlElement found = FNext;
      FNext = found.NextSibling();
      return found;
    }
    return FParent.ChildByName(n);
  }

  /** Plain text: the element's text, empty when absent. */
  template <size_t N> std::string_view Text(const char (&name)[N]) { return Node(name).Text(); }
  /** Text or default: the text when not empty. */
  template <size_t N> std::string_view TextOr(const char (&name)[N], std::string_view def) {
    const std::string_view t = Text(name);
    return t.empty() ? def : t;
  }
  /** Integer or default: the text when it is a decimal integer. */
  template <size_t N> int32_t IntOr(const char (&name)[N], int32_t def) { return StrToIntDef(Text(name), def); }
  /** Boolean or default: the default when empty, else "true" in any case. */
  template <size_t N> bool BoolOr(const char (&name)[N], bool def) {
    const std::string_view t = Text(name);
    return t.empty() ? def : TextToBool(t);
  }

private:
  TXmlElement FParent;
  TXmlElement FNext;
};

std::string_view AttributeOr(const TXmlElement& node, std::string_view name, std::string_view def) {
  return node.HasAttribute(name) ? node.Attribute(name) : def;
}

std::string Quoted(std::string_view s) {
  std::string quoted(1, '"');
  quoted.append(s).push_back('"');
  return quoted;
}

[[noreturn]] void Fail(const std::string& fileName, const std::string& what) {
  throw EXMLDocError("Project file " + Quoted(fileName) + ": " + what);
}

std::unique_ptr<TWebInput> ReadRow(const std::string& fileName, const TXmlElement& row, int rowIndex,
                                   const TWebTable& table) {
  for (const char* required : {"Database_field", "Type"})
    if (!row.HasAttribute(required))
      Fail(fileName, "row " + std::to_string(rowIndex + 1) + " of table " + Quoted(table.DB + "." + table.Name) +
                         " has no attribute " + Quoted(required));

  const std::string_view field = row.Attribute("Database_field");
  auto col = std::make_unique<TWebInput>(std::string(field));
  col->Database_field = field;
  col->Type = row.Attribute("Type");

  TElementReader r(row);
  col->Key = r.BoolOr("Key", false);
  col->Caption = r.Text("Caption");
  col->Insert = r.BoolOr("Insert", false);
  col->Update = r.BoolOr("Update", false);
  col->List = r.BoolOr("List", false);
  col->Detail = r.BoolOr("Detail", false);
  col->View_type = r.Text("View_type");
  col->Input_type = r.Text("Input_type");
  col->Filter_type = r.Text("Filter_type");
  col->UseHint = r.BoolOr("UseHint", false);
  col->HintText = r.Text("HintText");

  TBaseHtmlInput& h = *col->HtmlInput;
  h.iName = r.Text("iName");
  h.iId = r.Text("iId");
  h.iCss = r.Text("iCss");
  h.iCheckType = r.Text("iCheckType");
  h.iRequired = r.BoolOr("iRequired", false);
  h.iErrorText = r.Text("iErrorText");
  h.iCheckMin = r.Text("iCheckMin");
  h.iCheckMax = r.Text("iCheckMax");
  h.iReadOnly = r.BoolOr("iReadOnly", false);
  h.iLength = r.IntOr("iLength", 20);
  h.iMax = r.IntOr("iMax", 20);
  h.iValue = r.Text("iValue");
  h.iHiValue = r.Text("iHiValue");
  h.iRaHorizontal = r.BoolOr("iRaHorizontal", false);
  h.iFileUpDir = r.Text("iFileUpDir");
  h.iFileUpSize = r.Text("iFileUpSize");
  h.iTAWidth = r.IntOr("iTAWidth", 0);
  h.iTALines = r.IntOr("iTALines", 0);
  h.iTAWrap = r.BoolOr("iTAWrap", false);
  h.iTADefault = r.Text("iTADefault");
  h.iTARequired = r.BoolOr("iTARequired", false);
  h.iTAErrorText = r.Text("iTAErrorText");
  h.iLElementFromDb = r.BoolOr("iLElementFromDb", false);
  h.iLDb = r.Text("iLDb");
  h.iLTable = r.Text("iLTable");
  h.iLDisplayField = r.Text("iLDisplayField");
  h.iLValueField = r.Text("iLValueField");
  h.iLWhereField = r.Text("iLWhereField");
  h.iLRelation = r.Text("iLRelation");
  h.iLValue = r.Text("iLValue");
  h.iLShort = r.Text("iLShort");
  h.iLSQL = r.Text("iLSQL");
  h.iLSource = r.IntOr("iLSource", 0);
  h.iLDistinct = r.BoolOr("iLDistinct", true);
  r.Node("ItemList").ForEachChild([&](const TXmlElement& item) { h.ItemList.Add(std::string(item.Text())); });
  return col;
}

std::unique_ptr<TWebTable> ReadTable(const std::string& fileName, const TXmlElement& node) {
  auto table = std::make_unique<TWebTable>();
  table->Name = AttributeOr(node, "Name", "");
  table->DB = AttributeOr(node, "DB", "");
  table->Caption = AttributeOr(node, "Caption", table->Name);
  table->InsertRight = AttributeOr(node, "InsertRight", "Guest");
  table->UpdateRight = AttributeOr(node, "UpdateRight", "Guest");
  table->DeleteRight = AttributeOr(node, "DeleteRight", "Guest");
  table->DetailRight = AttributeOr(node, "DetailRight", "Guest");
  table->ListRight = AttributeOr(node, "ListRight", "Guest");
  table->SendMail = node.HasAttribute("SendMail") && TextToBool(node.Attribute("SendMail"));

  int rowIndex = 0;
  node.ChildByName("Rows").ForEachChild([&](const TXmlElement& row) {
    table->AddToInputList(ReadRow(fileName, row, rowIndex++, *table));
  });
  return table;
}

}  // namespace

bool XMLManager::SaveProject(const std::string& fileName, const TProjectManager& project,
                             IProgressDisplay* progress) {
  TProgressScope gauge(progress);
  gauge.SetProgress(0);

  TXmlNode root = XMLDocument.CreateDocumentElement("Brannoch_Project");
  TXmlNode p = root.AddChild("Project");
  p.SetAttribute("name", project.ProjectName);
  WriteProjectFields(p, project);

  TXmlNode tables = p.AddChild("Tables");
  const int count = project.GetTableCount();
  for (int i = 0; i < count; ++i) {
    gauge.SetProgress((100 / count) * i);
    WriteTable(tables, *project.Tables[static_cast<size_t>(i)]);
  }

  XMLDocument.SaveToFile(fileName);
  gauge.SetProgress(100);
  return true;
}

void XMLManager::LoadProject(const std::string& fileName, TProjectManager& project, IProgressDisplay* progress) {
  if (!FileExists(fileName)) return;

  TProgressScope gauge(progress);
  gauge.SetProgress(0);

  TXmlTree doc;
  doc.LoadFromFile(fileName);  // names the file in its error

  const TXmlElement root = doc.DocumentElement();
  const TXmlElement p = root.FirstChild();
  if (p.IsNull()) Fail(fileName, "the document element " + Quoted(root.NodeName()) + " has no child element");
  if (!p.HasAttribute("name")) Fail(fileName, "the element " + Quoted(p.NodeName()) + " has no attribute \"name\"");

  // The tables are the only part that can fail: read them all before the
  // caller's project is touched, so a damaged file leaves it as it was.
  const TXmlElement tablesNode = p.ChildByName("Tables");
  const int count = tablesNode.ChildCount();
  std::vector<std::unique_ptr<TWebTable>> tables;
  tables.reserve(static_cast<size_t>(count));
  tablesNode.ForEachChild([&](const TXmlElement& t) {
    gauge.SetProgress((100 / count) * static_cast<int>(tables.size()));
    tables.push_back(ReadTable(fileName, t));
  });

  project.ProjectName = p.Attribute("name");
  TElementReader r(p);
  project.Project_path = r.Text("Project_path");
  project.Project_output = r.Text("Project_output");
  project.Project_comment = r.Text("Project_comment");
  project.LocalDomain = r.Text("LocalDomain");
  project.UseLocalDomain = r.BoolOr("UseLocalDomain", false);
  project.Database_host = r.Text("Database_host");
  project.Database_user = r.Text("Database_user");
  project.Database_password = r.Text("Database_password");
  project.Database_name = r.TextOr("Database_name", "mysql");
  project.Database_port = r.IntOr("Database_port", 3306);
  project.FTPHost = r.Text("FTPHost");
  project.FTPUser = r.Text("FTPUser");
  project.FTPPassword = r.Text("FTPPassword");
  project.FTPDir = r.Text("FTPDir");
  project.SecurityMode = r.Text("SecurityMode");
  project.AdminName = r.Text("AdminName");
  project.AdminPass = r.Text("AdminPass");
  project.SiteCaption = r.TextOr("SiteCaption", project.ProjectName);
  project.TableAlign = r.TextOr("TableAlign", "center");
  project.RowNumber = r.IntOr("RowNumber", 10);
  project.TableWidth = r.IntOr("TableWidth", 80);
  project.WidthType = r.IntOr("WidthType", 0);
  project.CSS = r.TextOr("CSS", "default");
  project.mailSendTo = r.Text("mailSendTo");
  project.mailSubject = r.Text("mailSubject");
  project.mailFrom = r.Text("mailFrom");
  project.mailOnInsert = r.BoolOr("mailOnInsert", false);
  project.mailOnUpdate = r.BoolOr("mailOnUpdate", false);
  project.mailOnDelete = r.BoolOr("mailOnDelete", false);
  project.mailAllData = r.BoolOr("mailAllData", false);
  project.mailListData = r.BoolOr("mailListData", false);
  project.mailNoData = r.BoolOr("mailNoData", false);

  for (auto& t : tables) project.AddTable(std::move(t));
  gauge.SetProgress(100);
}
