#pragma once

#include "model/DBManager.h"
#include "model/WebTableClass.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TProjectManager;

/** Told when a table joins or leaves a project; the shell keeps its
 *  site-settings grid in step through it (one row per table, see SiteSettingsCells). */
class ITableListener {
public:
  virtual ~ITableListener() = default;
  virtual void TableAdded(const TWebTable& table) = 0;
  /** The first row whose database and table name equal these goes. */
  virtual void TableRemoved(const std::string& database, const std::string& tableName) = 0;
};

/** The nine cells of a table's row in the site-settings grid: database, name,
 *  caption, the five rights (insert, update, delete, detail, list) and the mail flag. */
std::vector<std::string> SiteSettingsCells(const TWebTable& table);

/** The open project: connection data, site, security, look-and-feel and mail
 *  options, and the ordered list of its tables. Owns its tables and its
 *  database connection. */
class TProjectManager {
public:
  TProjectManager();
  TProjectManager(const TProjectManager&) = delete;
  TProjectManager& operator=(const TProjectManager&) = delete;

  /** Appends the table and tells the listeners; null is ignored. */
  void AddTable(std::unique_ptr<TWebTable> table);
  /** Removes the first table (DB, Name) = (database, tableName) by moving the
   *  last table into its slot, and tells the listeners. No match: no change. */
  void RemoveTable(const std::string& database, const std::string& tableName);
  TWebTable* FindTable(const std::string& database, const std::string& tableName) const;
  /** The table named by CurrentDatabase and CurrentTable, or null. */
  TWebTable* GetCurrentTable() const;
  /** Table at index; null at or past the end; a negative index raises EListError. */
  TWebTable* GetTable(int index) const;
  int GetTableCount() const { return static_cast<int>(Tables.size()); }

  void AddListener(ITableListener* listener);
  void RemoveListener(ITableListener* listener);

  std::vector<std::unique_ptr<TWebTable>> Tables;
  std::string Database_host = "localhost";
  std::string Database_user = "root";
  std::string Database_password;
  int32_t Database_port = 3306;
  std::string Database_name = "mysql";
  std::string CurrentDatabase;
  std::string CurrentTable;
  int32_t CurrentRow = 0;
  int32_t CurrentColumn = 0;
  std::unique_ptr<TDBManager> DBManager;
  std::string ProjectName = "Project1";
  std::string Project_path;
  std::string Project_output;
  std::string Project_comment;
  std::string LocalDomain;
  bool UseLocalDomain = false;
  std::string FTPHost;
  std::string FTPUser;
  std::string FTPPassword;
  std::string FTPDir;
  std::string SecurityMode = "No";
  std::string AdminName;
  std::string AdminPass;
  std::string SiteCaption = "Project1";
  std::string CSS = "default";
  int32_t TableWidth = 85;
  int32_t WidthType = 1;
  std::string TableAlign = "Center";
  int32_t RowNumber = 20;
  std::string mailSendTo;
  std::string mailSubject;
  std::string mailFrom;
  bool mailOnInsert = false;
  bool mailOnUpdate = false;
  bool mailOnDelete = false;
  bool mailAllData = false;
  bool mailListData = false;
  bool mailNoData = false;

private:
  std::vector<ITableListener*> FListeners;
};
