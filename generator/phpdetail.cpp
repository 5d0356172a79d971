#include "generator/phpdetail.h"

#include "core/TextUtils.h"
#include "generator/PhpSql.h"
#include "generator/PhpText.h"
#include "generator/TablePageCode.h"

std::string TDetailGenerator::BuildDetailText(const TWebInput& input) const {
  return BuildRowValueCode(input, DatabaseName);
}

std::string TDetailGenerator::BuildDetailNumber(const TWebInput& input) const {
  // A stored value that is no number is shown as text, not handed to
  // number_format, which would stop the page.
  const std::string value = ResultsetField(input.Database_field);
  return "if (" + value + " == \"\") echo \"&nbsp;\"; else if (is_numeric(" + value +
         ")) echo number_format((float)" + value + "); else echo h(" + value + ");";
}

std::string TDetailGenerator::BuildDetailPicture(const TWebInput& input) const {
  const std::string value = ResultsetField(input.Database_field);
  return "if (" + value + " == \"\") echo \"&nbsp;\"; else echo '<img src=\"'.h(" + value + ").'\">';";
}

void TDetailGenerator::Generate() {
  const TProjectManager& project = Project();
  const TWebTable& table = RequireCurrentTable(project, "detail");
  std::unique_ptr<TTemplateEngine> engine = LoadTemplate("detail.tpl");
  TTemplateEngine& e = *engine;
  const std::string& db = project.CurrentDatabase;

  e.AssignGlobal("yzt_page_right", PageRightFlag(table.DetailRight));
  e.AssignGlobal("yzt_table_name", project.CurrentTable);
  e.AssignGlobal("yzt_table_name_caption", table.Caption);
  e.AssignGlobal("yzt_key", BuildKeyCondition(table));
  e.AssignGlobal("yzt_table_key_field", BuildKeyUrlParams(table));
  e.AssignGlobal("yzt_db_name", db);
  e.AssignGlobal("yzt_page_title_name", project.SiteCaption);
  e.AssignGlobal("yzt_page_align", HtmlAttribute(project.TableAlign));
  e.AssignGlobal("yzt_page_width", IntToStr(project.TableWidth));
  e.AssignGlobal("yzt_page_width_type", PageWidthType(project.WidthType));
  AssignTableGlobals(e, table);

  DatabaseName = db;

  for (const auto& input : table.InputList) {
    if (!input->Detail) continue;
    e.NewBlock("yzt_detail_block");
    e.Assign("yzt_field_caption", input->Caption);
    if (input->View_type == "Text")
      e.Assign("yzt_detail_data", BuildDetailText(*input));
    else if (input->View_type == "Number")
      e.Assign("yzt_detail_data", BuildDetailNumber(*input));
    else if (input->View_type == "Picture")
      e.Assign("yzt_detail_data", BuildDetailPicture(*input));
    e.Assign("yzt_field_name", HtmlAttribute(input->Database_field));
  }

  Save(e, TablePageFileName(db, project.CurrentTable, "detail"));
}
