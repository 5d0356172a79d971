#include "generator/phpdelete.h"

#include "generator/PhpSql.h"
#include "generator/PhpText.h"
#include "generator/TablePageCode.h"

std::string TDeleteGenerator::BuildDeleteMailCode() const {
  const TProjectManager& project = Project();
  return "qfMail('" + PhpSingleQuoted(project.mailSendTo) + "','" + PhpSingleQuoted(project.mailSubject) +
         "',\"A record was deleted\\n\\n\"\r\n" + std::string(9, ' ') + ",'" + PhpSingleQuoted(project.mailFrom) +
         "');";
}

void TDeleteGenerator::Generate() {
  const TProjectManager& project = Project();
  const TWebTable& table = RequireCurrentTable(project, "delete");
  std::unique_ptr<TTemplateEngine> engine = LoadTemplate("delete.tpl");
  TTemplateEngine& e = *engine;
  const std::string& db = project.CurrentDatabase;

  e.AssignGlobal("yzt_page_right", PageRightFlag(table.DeleteRight));
  e.AssignGlobal("yzt_table_name", project.CurrentTable);
  e.AssignGlobal("yzt_key", BuildKeyCondition(table));
  e.AssignGlobal("yzt_db_name", db);
  if (table.SendMail && project.mailOnDelete) e.AssignGlobal("yzt_delete_send_mail", BuildDeleteMailCode() + "\r\n\r\n");
  AssignTableGlobals(e, table);

  DatabaseName = db;
  Save(e, TablePageFileName(db, project.CurrentTable, "delete"));
}
