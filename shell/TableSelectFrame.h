#pragma once
/** The panel on the left of the main window: the project summary, the
 *  project's tables grouped by database, and every database and table of the
 *  connected server. */

#include "model/ProjectManager.h"
#include "ui/Forms.h"

#include <memory>
#include <string>

class TFlatButton;
class TGradientLabel;
class TGridView;
class TImageList;
class TMainForm;
class TMemo;
class TPanel;
class TResultSet;
class TSplitter;
class TTreeNode;
class TTreeView;

/** The table-selection panel. Both trees hold database nodes at the root
 *  and their table nodes (image 2) below; the selected tree holds exactly
 *  the project's tables. Every server access goes through the project's
 *  database connection. */
class TTableSelectPanel : public TFrame {
public:
  explicit TTableSelectPanel(TMainForm* AOwner);
  ~TTableSelectPanel() override;

  TGradientLabel* LProjectInfo;
  TMemo* MemoProjectInfo;
  TSplitter* Splitter1;
  TGradientLabel* LSelectedTables;
  TTreeView* TreeSelectedTable;
  TPanel* ButtonPanel;
  TFlatButton* BtnRemoveTable;
  TFlatButton* BtnAddTable;
  TSplitter* Splitter2;
  TGradientLabel* LAvailableTables;
  TTreeView* TreeAllTable;

  void SetProject(TProjectManager* project) { FProject = project; }
  TProjectManager* Project() const { return FProject; }
  /** Both trees from the server (the selected one empty), then the summary. */
  void InitPanel(TProjectManager* project, TGridView* grid);
  /** The available tree from the server; the rest stays. */
  void initAllTablePanel();
  /** The summary: project name, host, user and number of tables, a line
   *  each, cut to the memo's width with the whole of a cut line as its hint. */
  void ShowProjectInfo();
  /** Adds the project's tables missing from the selected tree. */
  void DisplayProjectTables();
  bool isTableInDb(const std::string& tableName, const std::string& database);
  /** The last root node of tree named database, or null. */
  static TTreeNode* FindDatabaseNode(TTreeView* tree, const std::string& database);
  /** The node of a table in tree, or null. */
  static TTreeNode* FindTableNode(TTreeView* tree, const std::string& database, const std::string& table);
  /** Fills the column grid with the table's columns and shows the field editor. */
  void DisplayTable(TWebTable* table);
  /** "Add": the table, or every table of the database, chosen in the
   *  available tree joins the project; the first of them becomes the current
   *  table and is shown (grid, status bar, selected tree). */
  void BtnAddTableClick();
  /** Adds the node's table, or each table of a database node, unless the
   *  project has it already. */
  void AddSelected(TTreeNode* node);
  /** The table joins the project and the selected tree, unless the tree has it. */
  void AddTableToProject(std::unique_ptr<TWebTable> table);
  /** The table of a table node with its columns as the server describes
   *  them (none without a connection); null for a database node. */
  std::unique_ptr<TWebTable> MakeTableFromDb(TTreeNode* node);
  /** The selected tree's choice: a table node becomes the current table and
   *  fills the column grid; a database node empties it and shows the site
   *  settings. No node changes nothing. */
  void TreeSelectedTableChange(TTreeNode* node);
  /** "Remove": the selected table, or database with its tables, leaves the project. */
  void BtnRemoveTableClick();
  void RemoveSelected(TTreeNode* node);
  /** The first two panels of the status bar: "DB: " and "Table: " with the current ones. */
  void ShowStatus();
  /** "Update project": the project's tables follow the server's schema. The
   *  server must answer first: without it "Can't connect to database!" is
   *  shown, nothing changes and the answer is false. A table goes only when
   *  its database's table list lacks it. */
  bool UpdateProjectTables(TProjectManager* project);
  /** The table's columns follow the server's: columns whose name and type
   *  are gone are removed, new ones are appended with the import defaults. */
  void updateShema(TWebTable& table);
  /** A column as the schema import makes it from one row of "describe":
   *  index is the row's number (only the first five are listed). */
  static std::unique_ptr<TWebInput> MakeInput(const std::string& field, const std::string& type,
                                              const std::string& key, int index);

private:
  /** The current table (none: an empty grid, no field editor) in the grid,
   *  its first column chosen. */
  void ShowCurrentTable();
  /** The cell being edited goes into its own table (as when the grid is
   *  left) before another table becomes the current one: ending the edit
   *  later would write it by field name into the next table's column. */
  void TakeInGridEdit();
  /** Selects node without running the change event. */
  void SelectQuietly(TTreeNode* node);
  /** Root and table nodes of the available tree from the databases listed in
   *  databases (null: none). */
  void FillAvailableTree(TResultSet* databases);
  TMainForm* FForm;
  TProjectManager* FProject = nullptr;
  TGridView* FGrid = nullptr;
  std::unique_ptr<TImageList> FImages;
  bool FQuiet = false;
};
