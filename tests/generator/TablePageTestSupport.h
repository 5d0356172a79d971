#pragma once
// Shared by the table-page tests: probe templates that print every variable
// and every block instance in a form the tests read back, and a fixture with
// a program folder, an output folder and a project to fill.

#include "TestSupport.h"
#include "core/Files.h"
#include "generator/PageGenerator.h"
#include "model/ProjectManager.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace tablepages {

struct TProbeBlock {
  std::string Name;
  std::vector<std::string> Variables;
};

/** The globals and blocks that each table page's generator fills. */
struct TPageNames {
  std::vector<std::string> Globals;
  std::vector<TProbeBlock> Blocks;
};

inline const TPageNames& ListPageNames() {
  static const TPageNames names{
      {"yzt_page_right", "yzt_row_number", "yzt_table_name", "yzt_table_key_field", "yzt_db_name", "yzt_insert_page",
       "yzt_table_caption", "yzt_page_title_name", "yzt_page_align", "yzt_page_width", "yzt_filter_part_one",
       "yzt_select_sql_part_one", "yzt_page_width_type", "yzt_column_number", "yzt_db_link"},
      {{"yzt_filter_block", {"yzt_filter_item"}},
       {"yzt_shorting_block", {"yzt_short_field"}},
       {"yzt_filter_area", {"yzt_insert_filter_caption", "yzt_insert_filter_row"}},
       {"yzt_list_headers_1row", {"yzt_list_1input_1row"}},
       {"yzt_list_headers_2row", {"yzt_list_1input_2row"}},
       {"yzt_list_value", {"yzt_act_field"}}}};
  return names;
}

inline const TPageNames& InsertPageNames() {
  static const TPageNames names{
      {"yzt_page_right", "yzt_table_name", "yzt_table_name_caption", "yzt_key", "yzt_db_name", "yzt_page_title_name",
       "yzt_page_align", "yzt_page_width", "yzt_insert_send_mail", "yzt_page_width_type", "yzt_db_link",
       "yzt_sql_table"},
      {{"yzt_insert_fields", {"yzt_caption", "yzt_html_input_item", "yzt_field_name", "yzt_tooltip_event"}},
       {"yzt_insert_hidden_fields", {"yzt_html_hidden_input_item"}},
       {"yzt_insert_file_fields", {"yzt_insert_file_code"}},
       {"yzt_insert_sql_fields", {"yzt_insert_field_name"}},
       {"yzt_insert_sql_field_values", {"yzt_insert_field_str"}},
       {"yzt_script", {"yzt_script_item"}}}};
  return names;
}

inline const TPageNames& UpdatePageNames() {
  static const TPageNames names{
      {"yzt_page_right", "yzt_table_name", "yzt_table_name_caption", "yzt_key", "yzt_db_name", "yzt_table_key_field",
       "yzt_page_title_name", "yzt_page_align", "yzt_page_width", "yzt_update_send_mail", "yzt_page_width_type",
       "yzt_db_link", "yzt_sql_table"},
      {{"yzt_update_fields", {"yzt_caption", "yzt_html_update_item", "yzt_field_name", "yzt_tooltip_event"}},
       {"yzt_update_hidden_fields", {"yzt_html_hidden_update_item"}},
       {"yzt_update_file_fields", {"yzt_update_file_code"}},
       {"yzt_update_sql", {"yzt_coma", "yzt_update_field_name", "yzt_update_field_str"}}}};
  return names;
}

inline const TPageNames& DetailPageNames() {
  static const TPageNames names{
      {"yzt_page_right", "yzt_table_name", "yzt_table_name_caption", "yzt_key", "yzt_table_key_field", "yzt_db_name",
       "yzt_page_title_name", "yzt_page_align", "yzt_page_width", "yzt_page_width_type", "yzt_db_link",
       "yzt_sql_table"},
      {{"yzt_detail_block", {"yzt_field_caption", "yzt_detail_data", "yzt_field_name"}}}};
  return names;
}

inline const TPageNames& DeletePageNames() {
  static const TPageNames names{
      {"yzt_page_right", "yzt_table_name", "yzt_key", "yzt_db_name", "yzt_delete_send_mail", "yzt_db_link",
       "yzt_sql_table"},
      {}};
  return names;
}

/** A template printing each global as <<V name>>value<<E>> and each block
 *  instance between <<B name>> and <<BE>> with its variables. */
inline std::string ProbeTemplate(const std::vector<std::string>& globals, const std::vector<TProbeBlock>& blocks) {
  std::string text = "probe start\n";
  for (const std::string& name : globals) text += "<<V " + name + ">>{" + name + "}<<E>>\n";
  for (const TProbeBlock& block : blocks) {
    text += "<!-- START BLOCK : " + block.Name + " -->\n<<B " + block.Name + ">>\n";
    for (const std::string& name : block.Variables) text += "<<V " + name + ">>{" + name + "}<<E>>\n";
    text += "<<BE>>\n<!-- END BLOCK : " + block.Name + " -->\n";
  }
  return text + "probe end\n";
}

struct TProbeInstance {
  std::string Block;
  std::map<std::string, std::string> Vars;
  const std::string& operator[](const std::string& name) const {
    static const std::string kMissing = "<not in probe>";
    auto found = Vars.find(name);
    return found == Vars.end() ? kMissing : found->second;
  }
};

/** What a probe page printed: the globals and the block instances in order. */
struct TProbeOutput {
  std::map<std::string, std::string> Globals;
  std::vector<TProbeInstance> Instances;
  std::string Text;

  const std::string& Global(const std::string& name) const {
    static const std::string kMissing = "<not in probe>";
    auto found = Globals.find(name);
    return found == Globals.end() ? kMissing : found->second;
  }
  std::vector<TProbeInstance> Of(const std::string& block) const {
    std::vector<TProbeInstance> result;
    for (const TProbeInstance& instance : Instances)
      if (instance.Block == block) result.push_back(instance);
    return result;
  }
  std::vector<std::string> Values(const std::string& block, const std::string& variable) const {
    std::vector<std::string> result;
    for (const TProbeInstance& instance : Of(block)) result.push_back(instance[variable]);
    return result;
  }
};

inline TProbeOutput ParseProbe(const std::string& text) {
  TProbeOutput out;
  out.Text = text;
  TProbeInstance* open = nullptr;
  size_t pos = 0;
  while (true) {
    const size_t token = text.find("<<", pos);
    if (token == std::string::npos) break;
    if (text.compare(token, 6, "<<BE>>") == 0) {
      open = nullptr;
      pos = token + 6;
    } else if (text.compare(token, 4, "<<B ") == 0) {
      const size_t close = text.find(">>", token);
      out.Instances.push_back(TProbeInstance{text.substr(token + 4, close - token - 4), {}});
      open = &out.Instances.back();
      pos = close + 2;
    } else if (text.compare(token, 4, "<<V ") == 0) {
      const size_t close = text.find(">>", token);
      const std::string name = text.substr(token + 4, close - token - 4);
      const size_t end = text.find("<<E>>", close);
      std::string value = text.substr(close + 2, end - close - 2);
      (open ? open->Vars : out.Globals)[name] = std::move(value);
      pos = end + 5;
    } else {
      pos = token + 2;
    }
  }
  return out;
}

/** Program folder with probe templates, an output folder, one project. */
class TablePageTest : public ::testing::Test {
protected:
  void SetUp() override { ForceDirectories(FApp.File("tpl")); }

  void WriteProbe(const std::string& page, const TPageNames& names) { WriteProbe(page, names.Globals, names.Blocks); }
  void WriteProbe(const std::string& page, const std::vector<std::string>& globals,
                  const std::vector<TProbeBlock>& blocks) {
    qftest::WriteFile(FApp.File("tpl/" + page + ".tpl"), ProbeTemplate(globals, blocks));
  }

  /** A table of the project, made current. */
  TWebTable& AddTable(const std::string& db, const std::string& name) {
    auto table = std::make_unique<TWebTable>();
    table->DB = db;
    table->Name = name;
    table->Caption = name + " caption";
    table->InsertRight = table->UpdateRight = table->DeleteRight = table->DetailRight = table->ListRight = "Guest";
    TWebTable& result = *table;
    FProject.AddTable(std::move(table));
    FProject.CurrentDatabase = db;
    FProject.CurrentTable = name;
    return result;
  }

  /** A column with its caption, input type and every page flag set. */
  static TWebInput& AddColumn(TWebTable& table, const std::string& field, const std::string& inputType = "Text") {
    auto input = std::make_unique<TWebInput>(field);
    input->Database_field = field;
    input->Caption = field + " caption";
    input->Input_type = inputType;
    input->View_type = "Text";
    input->Filter_type = "No";
    input->List = input->Detail = input->Insert = input->Update = true;
    TWebInput& result = *input;
    table.AddToInputList(std::move(input));
    return result;
  }

  static void SetItems(TWebInput& input, const std::vector<std::string>& lines) {
    input.HtmlInput->ItemList.Clear();
    for (const std::string& line : lines) input.HtmlInput->ItemList.Add(line);
    input.HtmlInput->iLSource = 1;
  }

  static void SetLookup(TWebInput& input, const std::string& table, const std::string& display,
                        const std::string& value) {
    TBaseHtmlInput& html = *input.HtmlInput;
    html.iLSource = 0;
    html.iLElementFromDb = true;
    html.iLTable = table;
    html.iLDisplayField = display;
    html.iLValueField = value;
  }

  TGeneratorContext Context() const { return TGeneratorContext{FProject, FApp.Path() + "/", FOut.Path() + "/"}; }

  std::string OutputFile(const std::string& page) const {
    return FOut.File(FProject.CurrentDatabase + "_" + FProject.CurrentTable + "_" + page + ".php");
  }

  /** Runs one generator on the current table and reads its probe page back. */
  template <class TGenerator>
  TProbeOutput Run(const std::string& page) {
    TGenerator generator(Context());
    generator.Generate();
    return ParseProbe(qftest::ReadFile(OutputFile(page)));
  }

  qftest::TempDir FApp;
  qftest::TempDir FOut;
  TProjectManager FProject;
};

}  // namespace tablepages
