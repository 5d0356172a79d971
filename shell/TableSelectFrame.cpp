#include "shell/TableSelectFrame.h"

#include "components/FlatButton.h"
#include "components/GradPageControl.h"
#include "components/GradientLabel.h"
#include "core/TextUtils.h"
#include "grid/GridView.h"
#include "model/DBManager.h"
#include "model/FileLogger.h"
#include "model/General.h"
#include "shell/DetailedPropertiesFrame.h"
#include "shell/DialogParts.h"
#include "shell/MainFormUnit.h"
#include "shell/Pictures.h"
#include "ui/ComCtrls.h"
#include "ui/ExtCtrls.h"
#include "ui/StdCtrls.h"

#include <map>
#include <optional>
#include <set>
#include <vector>

namespace {

constexpr int kTableImage = 2;
// The memo's text stands 2 pixels in from either side, and the caret takes one.
constexpr int kMemoTextMargins = 2 * 2 + 1;

TGradientLabel* NewHeading(TComponent* owner, TWinControl* parent, const std::string& name,
                           const std::string& caption, int top) {
  auto* label = NewControl<TGradientLabel>(owner, parent, name, 0, top, 185, 18);
  label->SetCaption(caption);
  label->SetAlign(alTop);
  label->SetGradientStyle(gsHorizontal);
  label->SetBeginColor(RGB(60, 100, 170));
  label->SetEndColor(RGB(200, 220, 245));
  label->SetAFitType(ftNormalFit);
  label->Font().SetColor(clWhite);
  label->Font().SetStyle(fsBold);
  return label;
}

TTreeNode* AddTableNode(TTreeView* tree, TTreeNode* database, const std::string& name) {
  TTreeNode* node = tree->Items().AddChild(database, name);
  node->SetImageIndex(kTableImage);
  node->SetSelectedIndex(kTableImage);
  return node;
}

struct TDescribedColumn {
  std::string Field, Type, Key;
};

// The columns "describe" gives for a table; nothing when it cannot be run.
std::optional<std::vector<TDescribedColumn>> Describe(TDBManager& db, const TWebTable& table) {
  std::unique_ptr<TResultSet> rs = db.ExecuteQuery("describe " + QuoteIdentifier(table.DB) + "." +
                                                   QuoteIdentifier(table.Name));
  if (!rs) return std::nullopt;
  std::vector<TDescribedColumn> columns;
  for (int i = 0, n = TDBManager::GetRowCount(rs.get()); i < n; ++i, rs->Next())
    columns.push_back({rs->GetString(1), rs->GetString(2), rs->GetString(4)});
  return columns;
}

bool Described(const std::vector<TDescribedColumn>& columns, const std::string& field, const std::string& type) {
  for (const TDescribedColumn& c : columns)
    if (c.Field == field && c.Type == type) return true;
  return false;
}

/** line as much of it as fits width, ending in "..." when cut (never inside
 *  a character of several bytes). */
std::string FitLine(const TCanvas& canvas, const std::string& line, int width) {
  if (canvas.TextWidth(line) <= width) return line;
  std::string cut = line;
  while (!cut.empty()) {
    // The last character goes, its continuation bytes, then its first one.
    while (!cut.empty() && (static_cast<unsigned char>(cut.back()) & 0xC0) == 0x80) cut.pop_back();
    if (!cut.empty()) cut.pop_back();
    if (canvas.TextWidth(cut + "...") <= width) break;
  }
  return cut + "...";
}

}  // namespace

TTableSelectPanel::TTableSelectPanel(TMainForm* AOwner) : TFrame(AOwner), FForm(AOwner) {
  SetName("SelectTablePanel");
  SetBounds(0, 0, 185, 500);
  FImages = MakeProgramImages();

  LProjectInfo = NewHeading(this, this, "LProjectInfo", "  Project Info:", 0);
  MemoProjectInfo = NewControl<TMemo>(this, this, "MemoProjectInfo", 0, 18, 185, 72);
  MemoProjectInfo->SetAlign(alTop);
  MemoProjectInfo->SetReadOnly(true);
  MemoProjectInfo->OnResize = [this](TObject*) { ShowProjectInfo(); };
  Splitter1 = NewSplitter(this, this, "Splitter1", alTop, 0, 90, 185, 3);
  LSelectedTables = NewHeading(this, this, "LSelectedTables", "  Selected tables:", 93);
  TreeSelectedTable = NewControl<TTreeView>(this, this, "TreeSelectedTable", 0, 111, 185, 150);
  TreeSelectedTable->SetAlign(alTop);
  ButtonPanel = NewControl<TPanel>(this, this, "ButtonPanel", 0, 261, 185, 30);
  ButtonPanel->SetAlign(alTop);
  ButtonPanel->SetBevelOuter(bvNone);
  BtnRemoveTable = NewButton(this, ButtonPanel, "BtnRemoveTable", "Remove", 4, 4, 70, 22);
  BtnAddTable = NewButton(this, ButtonPanel, "BtnAddTable", "Add", 80, 4, 70, 22);
  Splitter2 = NewSplitter(this, this, "Splitter2", alTop, 0, 291, 185, 3);
  LAvailableTables = NewHeading(this, this, "LAvailableTables", "  Available tables:", 294);
  TreeAllTable = NewControl<TTreeView>(this, this, "TreeAllTable", 0, 312, 185, 188);
  TreeAllTable->SetAlign(alClient);
  for (TTreeView* tree : {TreeSelectedTable, TreeAllTable}) {
    tree->SetReadOnly(true);
    tree->SetImages(FImages.get());
  }
  // The table the grid shows stays marked while the focus is elsewhere.
  TreeSelectedTable->SetHideSelection(false);
  BtnAddTable->OnClick = [this](TObject*) { BtnAddTableClick(); };
  BtnRemoveTable->OnClick = [this](TObject*) { BtnRemoveTableClick(); };
  TreeSelectedTable->OnChange = [this](TObject*, TTreeNode* node) { TreeSelectedTableChange(node); };
}

TTableSelectPanel::~TTableSelectPanel() {
  // The trees draw with the images: they go first.
  DestroyComponents();
}

void TTableSelectPanel::InitPanel(TProjectManager* project, TGridView* grid) {
  WriteLog("InitPanel begin");
  FProject = project;
  FGrid = grid;
  WriteLog("  InitPanel show databases");
  std::unique_ptr<TResultSet> databases = FProject->DBManager->ExecuteQuery("show databases");
  if (!databases) WriteLog("  InitPanel empty DB list!");
  TreeSelectedTable->Items().Clear();
  TreeAllTable->Items().Clear();
  WriteLog("  InitPanel build up DB tree begin");
  FillAvailableTree(databases.get());
  WriteLog("  InitPanel build up DB tree end");
  ShowProjectInfo();
  WriteLog("InitPanel end");
}

void TTableSelectPanel::initAllTablePanel() {
  WriteLog("initAllTablePanel begin");
  std::unique_ptr<TResultSet> databases = FProject->DBManager->ExecuteQuery("show databases");
  TreeAllTable->Items().Clear();
  FillAvailableTree(databases.get());
  WriteLog("initAllTablePanel end");
}

void TTableSelectPanel::FillAvailableTree(TResultSet* databases) {
  TDBManager& db = *FProject->DBManager;
  for (int i = 0, n = TDBManager::GetRowCount(databases); i < n; ++i, databases->Next()) {
    const std::string name = databases->GetString(1);
    TTreeNode* node = TreeAllTable->Items().AddChild(nullptr, name);
    std::unique_ptr<TResultSet> tables = db.ExecuteQuery("show tables from " + QuoteIdentifier(name));
    for (int t = 0, count = TDBManager::GetRowCount(tables.get()); t < count; ++t, tables->Next())
      AddTableNode(TreeAllTable, node, tables->GetString(1));
  }
}

void TTableSelectPanel::ShowProjectInfo() {
  if (!FProject) return;
  // Each line on a line of its own, cut to the memo's width: a long name
  // wrapped over several lines would push the others out of sight. The
  // hint tells what was cut.
  TCanvas measure;
  measure.Font = MemoProjectInfo->Font();
  const int width = MemoProjectInfo->ClientWidth() - kMemoTextMargins;
  TStringList lines;
  std::string cut;
  for (const std::string& line : {"Project: " + FProject->ProjectName, "Host: " + FProject->Database_host,
                                  "User: " + FProject->Database_user,
                                  "Tables: " + IntToStr(FProject->GetTableCount())}) {
    lines.Add(FitLine(measure, line, width));
    if (lines[lines.Count() - 1] != line) cut += (cut.empty() ? "" : "\n") + line;
  }
  MemoProjectInfo->Lines().Assign(lines);
  MemoProjectInfo->SetHint(cut);
  MemoProjectInfo->SetShowHint(!cut.empty());
}

void TTableSelectPanel::DisplayProjectTables() {
  WriteLog("DisplayProjectTables begin");
  if (FProject) {
    WriteLog("  DisplayProjectTables build up project table tree");
    WriteLog("  DisplayProjectTables number of tables: " + IntToStr(FProject->GetTableCount()));
    for (const auto& table : FProject->Tables) {
      WriteLog("  DisplayProjectTables get table info for: " + table->DB);
      TTreeNode* database = FindDatabaseNode(TreeSelectedTable, table->DB);
      if (!database) database = TreeSelectedTable->Items().AddChild(nullptr, table->DB);
      WriteLog("  DisplayProjectTables get table info end ");
      if (!isTableInDb(table->Name, table->DB)) {
        WriteLog("  DisplayProjectTables add table: " + table->Name);
        AddTableNode(TreeSelectedTable, database, table->Name);
        WriteLog("  DisplayProjectTables add table end ");
      }
    }
  }
  WriteLog("DisplayProjectTables end");
}

bool TTableSelectPanel::isTableInDb(const std::string& tableName, const std::string& database) {
  WriteLog("isTableInDb begin");
  WriteLog("  isTableInDb selected tables: " + IntToStr(TreeSelectedTable->Items().Count()));
  bool found = false;
  for (TTreeNode* db = TreeSelectedTable->Items().GetFirstNode(); db && !found; db = db->getNextSibling()) {
    if (db->Text() != database) continue;
    for (TTreeNode* t = db->GetFirstChild(); t && !found; t = t->getNextSibling()) found = t->Text() == tableName;
  }
  WriteLog("isTableInDb end");
  return found;
}

TTreeNode* TTableSelectPanel::FindDatabaseNode(TTreeView* tree, const std::string& database) {
  TTreeNode* found = nullptr;
  for (TTreeNode* n = tree->Items().GetFirstNode(); n; n = n->getNextSibling())
    if (n->Text() == database) found = n;
  return found;
}

void TTableSelectPanel::DisplayTable(TWebTable* table) {
  WriteLog("DisplayTable begin");
  if (!table) return;
  WriteLog("  DisplayTable Fill tool table with DB properties");
  if (!FGrid) FGrid = FForm->TableInfo;
  TGridView& grid = *FGrid;
  grid.ClearRows();
  // The rows come in the table's own order: no header may show a sort arrow.
  for (int i = 0; i < grid.Columns().Count(); ++i)
    if (grid.Columns().Items(i)->Sorted()) grid.Columns().Items(i)->SetSorted(false);
  grid.AddRow(table->GetInputListSize());
  for (int row = 0; row < table->GetInputListSize(); ++row) {
    const TWebInput& c = *table->GetInputListElement(row);
    grid.GetCellObject(0, row)->SetAsInteger(c.Key ? 6 : 8);
    grid.SetCellText(1, row, c.Database_field);
    grid.SetCellText(2, row, c.Type);
    grid.GetCellObject(3, row)->SetAsBoolean(c.Insert);
    grid.GetCellObject(4, row)->SetAsBoolean(c.Update);
    grid.GetCellObject(5, row)->SetAsBoolean(c.Detail);
    grid.GetCellObject(6, row)->SetAsBoolean(c.List);
    grid.SetCellText(7, row, c.Caption);
    grid.SetCellText(8, row, c.View_type);
    grid.SetCellText(9, row, c.Input_type);
    grid.SetCellText(10, row, c.Filter_type);
    grid.GetCellObject(11, row)->SetAsBoolean(c.UseHint);
    grid.SetCellText(12, row, c.HintText);
  }
  FForm->FrameDetailedProperties->Show();
}

void TTableSelectPanel::BtnAddTableClick() {
  WriteLog("BtnAddTableClick begin");
  TTreeNode* node = TreeAllTable->Selected();
  if (node && FProject) {
    if (FProject->ProjectName.empty()) {
      FProject->ProjectName = "Project1";
      FForm->UpdateCaption();
    }
    AddSelected(node);
    // The first added table is the current one, and the one on screen.
    if (TTreeNode* table = node->Parent() ? node : node->GetFirstChild()) {
      TTreeNode* shown = FindTableNode(TreeSelectedTable, table->Parent()->Text(), table->Text());
      if (shown && TreeSelectedTable->Selected() == shown)
        TreeSelectedTableChange(shown);
      else if (shown)
        TreeSelectedTable->SetSelected(shown);
    }
    ShowProjectInfo();
  }
  WriteLog("BtnAddTableClick end");
}

void TTableSelectPanel::AddSelected(TTreeNode* node) {
  WriteLog("AddSelected begin");
  auto add = [this](TTreeNode* table) {
    if (isTableInDb(table->Text(), table->Parent()->Text())) return;
    FProject->CurrentRow = 0;
    AddTableToProject(MakeTableFromDb(table));
  };
  if (node->Parent())
    add(node);
  else
    for (TTreeNode* table = node->GetFirstChild(); table; table = table->getNextSibling()) add(table);
  WriteLog("AddSelected end");
}

void TTableSelectPanel::AddTableToProject(std::unique_ptr<TWebTable> table) {
  WriteLog("AddTableToProject begin");
  if (table && !isTableInDb(table->Name, table->DB) && !FProject->FindTable(table->DB, table->Name)) {
    TTreeNode* database = FindDatabaseNode(TreeSelectedTable, table->DB);
    if (!database) database = TreeSelectedTable->Items().AddChild(nullptr, table->DB);
    AddTableNode(TreeSelectedTable, database, table->Name);
    FProject->AddTable(std::move(table));
  }
  WriteLog("AddTableToProject end");
}

std::unique_ptr<TWebTable> TTableSelectPanel::MakeTableFromDb(TTreeNode* node) {
  WriteLog("MakeTableFromDb begin");
  std::unique_ptr<TWebTable> table;
  if (node && node->Parent()) {
    table = std::make_unique<TWebTable>();
    table->DB = node->Parent()->Text();
    table->Name = node->Text();
    table->Caption = table->DB + "." + table->Name;
    table->InsertRight = table->UpdateRight = table->DeleteRight = table->DetailRight = table->ListRight = "Guest";
    table->SendMail = false;
    if (const auto columns = Describe(*FProject->DBManager, *table))
      for (int i = 0; i < static_cast<int>(columns->size()); ++i) {
        const TDescribedColumn& c = (*columns)[i];
        table->AddToInputList(MakeInput(c.Field, c.Type, c.Key, i));
      }
  }
  WriteLog("MakeTableFromDb end");
  return table;
}

TTreeNode* TTableSelectPanel::FindTableNode(TTreeView* tree, const std::string& database, const std::string& table) {
  for (TTreeNode* db = tree->Items().GetFirstNode(); db; db = db->getNextSibling()) {
    if (db->Text() != database) continue;
    for (TTreeNode* t = db->GetFirstChild(); t; t = t->getNextSibling())
      if (t->Text() == table) return t;
  }
  return nullptr;
}

void TTableSelectPanel::TakeInGridEdit() {
  TGridView* grid = FGrid ? FGrid : FForm->TableInfo;
  grid->CommitEdit();
  grid->EndEdit();
}

void TTableSelectPanel::TreeSelectedTableChange(TTreeNode* node) {
  if (FQuiet || !node || !FProject) return;
  TakeInGridEdit();
  FForm->SubPageControl->SetActivePage(FForm->AdvTabSheet1);
  if (node->Parent()) {
    FProject->CurrentDatabase = node->Parent()->Text();
    FProject->CurrentTable = node->Text();
    FProject->CurrentRow = 0;
    ShowCurrentTable();
  } else {
    FProject->CurrentDatabase = node->Text();
    FProject->CurrentTable.clear();
    ShowCurrentTable();
    FForm->SubPageControl->SetActivePage(FForm->AdvTabSheet3);
  }
  ShowStatus();
}

void TTableSelectPanel::ShowCurrentTable() {
  TGridView* grid = FGrid ? FGrid : FForm->TableInfo;
  TWebTable* table = FProject->GetCurrentTable();
  if (!table) {
    // Nothing may point at a table that is not there.
    FProject->CurrentTable.clear();
    grid->ClearRows();
    FForm->FrameDetailedProperties->Hide();
    return;
  }
  DisplayTable(table);
  if (grid->RowCount() > 0) grid->SelectRow(0);
}

void TTableSelectPanel::ShowStatus() {
  if (!FProject) return;
  FForm->StatusBar1->Panels()[0]->SetText("DB: " + FProject->CurrentDatabase);
  FForm->StatusBar1->Panels()[1]->SetText("Table: " + FProject->CurrentTable);
}

void TTableSelectPanel::SelectQuietly(TTreeNode* node) {
  FQuiet = true;
  TreeSelectedTable->SetSelected(node);
  FQuiet = false;
}

void TTableSelectPanel::BtnRemoveTableClick() {
  if (TTreeNode* node = TreeSelectedTable->Selected()) RemoveSelected(node);
  ShowProjectInfo();
}

void TTableSelectPanel::RemoveSelected(TTreeNode* node) {
  WriteLog("RemoveSelected begin");
  std::vector<std::pair<std::string, std::string>> tables;
  if (node->Parent())
    tables.emplace_back(node->Parent()->Text(), node->Text());
  else
    for (TTreeNode* t = node->GetFirstChild(); t; t = t->getNextSibling()) tables.emplace_back(node->Text(), t->Text());
  for (const auto& [database, name] : tables) FProject->RemoveTable(database, name);
  // The selection moves on, and the tree's change event shows what it moved to.
  node->Delete();
  if (!FProject->GetCurrentTable() && !FProject->CurrentTable.empty()) {
    ShowCurrentTable();
    ShowStatus();
  }
  WriteLog("RemoveSelected end");
}

bool TTableSelectPanel::UpdateProjectTables(TProjectManager* project) {
  FProject = project;
  TDBManager& db = *FProject->DBManager;
  // Without a server every table would look dropped: check it answers first.
  if (!db.ExecuteQuery("select 1")) {
    ShowMessageBox(WithReason("Can't connect to database!", db.LastError()), TMsgDlgType::mtWarning);
    return false;
  }
  TakeInGridEdit();
  initAllTablePanel();
  std::map<std::string, std::set<std::string>> tablesOf;
  for (int i = 0; i < FProject->GetTableCount();) {
    TWebTable& table = *FProject->GetTable(i);
    if (!tablesOf.count(table.DB)) {
      std::set<std::string>& names = tablesOf[table.DB];
      std::unique_ptr<TResultSet> rs = db.ExecuteQuery("show tables from " + QuoteIdentifier(table.DB));
      for (int t = 0, n = TDBManager::GetRowCount(rs.get()); t < n; ++t, rs->Next()) names.insert(rs->GetString(1));
    }
    if (!tablesOf[table.DB].count(table.Name)) {
      // Copies: the table, and with it its names, is freed while the
      // listeners are told. The last table moves into slot i: look at i again.
      const std::string database = table.DB, name = table.Name;
      FProject->RemoveTable(database, name);
      continue;
    }
    updateShema(table);
    ++i;
  }
  TreeSelectedTable->Items().Clear();
  DisplayProjectTables();
  // The current table, when it stayed, is shown afresh (its columns may have
  // changed); the page in view stays.
  const std::string database = FProject->CurrentDatabase, current = FProject->CurrentTable;
  SelectQuietly(current.empty() ? FindDatabaseNode(TreeSelectedTable, database)
                                : FindTableNode(TreeSelectedTable, database, current));
  if (!current.empty()) ShowCurrentTable();
  ShowStatus();
  ShowProjectInfo();
  return true;
}

void TTableSelectPanel::updateShema(TWebTable& table) {
  WriteLog("updateShema begin");
  const std::optional<std::vector<TDescribedColumn>> columns = Describe(*FProject->DBManager, table);
  bool changed = columns && static_cast<int>(columns->size()) != table.GetInputListSize();
  for (int i = 0; columns && !changed && i < table.GetInputListSize(); ++i) {
    const TWebInput& c = *table.GetInputListElement(i);
    changed = !Described(*columns, c.Database_field, c.Type);
  }
  if (changed) {
    for (int i = 0; i < table.GetInputListSize();) {
      const TWebInput& c = *table.GetInputListElement(i);
      if (Described(*columns, c.Database_field, c.Type))
        ++i;
      else
        table.RemoveInputListElement(i);
    }
    for (int j = 0; j < static_cast<int>(columns->size()); ++j) {
      const TDescribedColumn& d = (*columns)[j];
      bool present = false;
      for (const auto& c : table.InputList) present = present || (c->Database_field == d.Field && c->Type == d.Type);
      if (!present) table.AddToInputList(MakeInput(d.Field, d.Type, d.Key, j));
    }
  }
  WriteLog("updateShema end");
}

std::unique_ptr<TWebInput> TTableSelectPanel::MakeInput(const std::string& field, const std::string& type,
                                                        const std::string& key, int index) {
  auto input = std::make_unique<TWebInput>(field);
  input->Database_field = field;
  input->Type = type;
  input->Caption = field;
  input->Insert = input->Update = input->Detail = true;
  // Only the first five columns are listed and filtered.
  input->List = index < 5;
  input->Filter_type = index < 5 ? "Interval" : "No";
  input->Key = key == "PRI";
  TBaseHtmlInput& options = *input->HtmlInput;
  std::string kind;
  ParseEnumSet(type, options.ItemList, kind);
  options.iLElementFromDb = false;
  if (kind == "set" || kind == "enum") {
    input->Input_type = kind == "set" ? "Checkbox" : "Combobox";
    options.iLSource = 1;
  } else {
    input->Input_type = "Text";
  }
  input->View_type = "Text";
  input->UseHint = true;
  input->HintText.clear();
  return input;
}
