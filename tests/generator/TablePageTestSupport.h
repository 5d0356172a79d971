#pragma once
// Shared by the page tests: probe templates that print every variable and
// block instance in a form read back here, a fixture with a program folder,
// an output folder and a project, and a PHP runner.

#include "TestSupport.h"
#include "core/Files.h"
#include "core/TextUtils.h"
#include "generator/PageGenerator.h"
#include "model/ProjectManager.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <iterator>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tablepages {

struct TProbeBlock {
  std::string Name;
  std::vector<std::string> Variables;
};

/** The globals and blocks that one page's generator fills. */
struct TPageNames {
  std::vector<std::string> Globals;
  std::vector<TProbeBlock> Blocks;
};

/** Names given without their "yzt_" prefix, separated by blanks. */
inline TPageNames Names(const std::string& globals, const std::vector<std::pair<std::string, std::string>>& blocks) {
  const auto split = [](const std::string& text) {
    std::vector<std::string> names;
    for (const std::string& name : SplitString(text, ' '))
      if (!name.empty()) names.push_back("yzt_" + name);
    return names;
  };
  TPageNames names{split(globals), {}};
  for (const auto& [block, variables] : blocks) names.Blocks.push_back({"yzt_" + block, split(variables)});
  return names;
}

inline const TPageNames kListNames = Names(
    "page_right row_number table_name table_key_field db_name insert_page table_caption page_title_name page_align "
    "page_width filter_part_one select_sql_part_one page_width_type column_number db_link",
    {{"filter_block", "filter_item"}, {"shorting_block", "short_field"},
     {"filter_area", "insert_filter_caption insert_filter_row"}, {"list_headers_1row", "list_1input_1row"},
     {"list_headers_2row", "list_1input_2row"}, {"list_value", "act_field"}});
inline const TPageNames kInsertNames = Names(
    "page_right table_name table_name_caption key db_name page_title_name page_align page_width insert_send_mail "
    "page_width_type db_link sql_table",
    {{"insert_fields", "caption html_input_item field_name tooltip_event"},
     {"insert_hidden_fields", "html_hidden_input_item"}, {"insert_file_fields", "insert_file_code"},
     {"insert_sql_fields", "insert_field_name"}, {"insert_sql_field_values", "insert_field_str"},
     {"script", "script_item"}});
inline const TPageNames kUpdateNames = Names(
    "page_right table_name table_name_caption key db_name table_key_field page_title_name page_align page_width "
    "update_send_mail page_width_type db_link sql_table",
    {{"update_fields", "caption html_update_item field_name tooltip_event"},
     {"update_hidden_fields", "html_hidden_update_item"}, {"update_file_fields", "update_file_code"},
     {"update_sql", "coma update_field_name update_field_str"}});
inline const TPageNames kDetailNames = Names(
    "page_right table_name table_name_caption key table_key_field db_name page_title_name page_align page_width "
    "page_width_type db_link sql_table",
    {{"detail_block", "field_caption detail_data field_name"}});
inline const TPageNames kDeleteNames =
    Names("page_right table_name key db_name delete_send_mail db_link sql_table", {});

struct TProbeInstance {
  std::string Block;
  std::map<std::string, std::string> Vars;
  std::string operator[](const std::string& name) const { return Vars.count(name) ? Vars.at(name) : "<not in probe>"; }
};

/** What a probe page printed: the globals and the block instances in order. */
struct TProbeOutput {
  TProbeInstance Root;
  std::vector<TProbeInstance> Instances;

  std::string Global(const std::string& name) const { return Root[name]; }
  std::vector<TProbeInstance> Of(const std::string& block) const {
    std::vector<TProbeInstance> result;
    std::copy_if(Instances.begin(), Instances.end(), std::back_inserter(result),
                 [&block](const TProbeInstance& instance) { return instance.Block == block; });
    return result;
  }
  std::vector<std::string> Values(const std::string& block, const std::string& variable) const {
    std::vector<std::string> result;
    for (const TProbeInstance& instance : Of(block)) result.push_back(instance[variable]);
    return result;
  }
};

/** Prints each variable as <<V name>>value<<E>>, each block instance between <<B name>> and <<BE>>. */
inline std::string ProbeTemplate(const std::vector<std::string>& globals, const std::vector<TProbeBlock>& blocks) {
  const auto vars = [](const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) text += "<<V " + name + ">>{" + name + "}<<E>>\n";
    return text;
  };
  std::string text = vars(globals);
  for (const TProbeBlock& block : blocks)
    text += "<!-- START BLOCK : " + block.Name + " -->\n<<B " + block.Name + ">>\n" + vars(block.Variables) +
            "<<BE>>\n<!-- END BLOCK : " + block.Name + " -->\n";
  return text;
}

inline TProbeOutput ParseProbe(const std::string& text) {
  TProbeOutput out;
  TProbeInstance* open = &out.Root;
  for (size_t pos = text.find("<<"); pos != std::string::npos; pos = text.find("<<", pos)) {
    const size_t close = text.find(">>", pos);
    const std::string tag = text.substr(pos + 2, close - pos - 2);
    pos = close + 2;
    if (tag == "BE") {
      open = &out.Root;
    } else if (StartsWith(tag, "B ")) {
      open = &out.Instances.emplace_back(TProbeInstance{tag.substr(2), {}});
    } else if (StartsWith(tag, "V ")) {
      const size_t end = text.find("<<E>>", pos);
      open->Vars[tag.substr(2)] = text.substr(pos, end - pos);
      pos = end + 5;
    }
  }
  return out;
}

/** What SetLookup(f, "city", "name", "id") reads in database shop. */
inline const std::string kCitySql = "SELECT DISTINCT `name` ,`id` FROM '.sqlIdent($dbname_shop).'.`city`";

/** Program folder with the five probe templates, an output folder, one project. */
class TablePageTest : public ::testing::Test {
protected:
  void SetUp() override {
    ForceDirectories(FApp.File("tpl"));
    // Each probe prints every global of any page, so a value a page should not fill shows too.
    std::vector<std::string> globals;
    for (const TPageNames* page : {&kListNames, &kInsertNames, &kUpdateNames, &kDetailNames, &kDeleteNames})
      for (const std::string& name : page->Globals)
        if (std::find(globals.begin(), globals.end(), name) == globals.end()) globals.push_back(name);
    std::vector<TProbeBlock> update = kUpdateNames.Blocks;  // with the insert page's checks, to see none made
    update.push_back({"yzt_script", {"yzt_script_item"}});
    for (const auto& [page, blocks] : {std::pair{"list", kListNames.Blocks}, {"insert", kInsertNames.Blocks},
                                       {"update", update}, {"detail", kDetailNames.Blocks}, {"delete", kDeleteNames.Blocks}})
      qftest::WriteFile(FApp.File("tpl/" + std::string(page) + ".tpl"), ProbeTemplate(globals, blocks));
  }

  /** A table of the project, made current, every right "Guest". */
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

  static TWebInput& SetItems(TWebInput& input, const std::vector<std::string>& lines) {
    input.HtmlInput->ItemList.Clear();
    for (const std::string& line : lines) input.HtmlInput->ItemList.Add(line);
    input.HtmlInput->iLSource = 1;
    return input;
  }

  static TWebInput& SetLookup(TWebInput& input, const std::string& table, const std::string& display,
                              const std::string& value) {
    TBaseHtmlInput& html = *input.HtmlInput;
    html.iLSource = 0;
    html.iLElementFromDb = true;
    html.iLTable = table;
    html.iLDisplayField = display;
    html.iLValueField = value;
    return input;
  }

  TGeneratorContext Context() const { return TGeneratorContext{FProject, FApp.Path() + "/", FOut.Path() + "/"}; }

  std::string OutputFile(const std::string& page) const {
    return FOut.File(FProject.CurrentDatabase + "_" + FProject.CurrentTable + "_" + page + ".php");
  }
  TProbeOutput Read(const std::string& page) const { return ParseProbe(qftest::ReadFile(OutputFile(page))); }

  /** Runs one generator on the current table and reads its probe page back. */
  template <class TGenerator>
  TProbeOutput Run(const std::string& page) {
    TGenerator(Context()).Generate();
    return Read(page);
  }

  /** The same on a fresh current table shop.t given its columns. */
  template <class TGenerator>
  TProbeOutput RunOn(const std::string& page, const std::function<void(TWebTable&)>& columns) {
    FProject.Tables.clear();
    columns(AddTable("shop", "t"));
    return Run<TGenerator>(page);
  }

  qftest::TempDir FApp;
  qftest::TempDir FOut;
  TProjectManager FProject;
};

// ---------------------------------------------------------------- PHP

inline std::optional<std::string> FindPhp() {
  const char* path = std::getenv("PATH");
  for (const std::string& dir : SplitString(path ? path : "", ':'))
    if (!dir.empty() && ::access((dir + "/php").c_str(), X_OK) == 0) return dir + "/php";
  return std::nullopt;
}

inline std::string ShellQuote(const std::string& text) { return "'" + ReplaceAll(text, "'", "'\\''") + "'"; }

struct TRun {
  int Code = -1;
  std::string Out;
  std::string Err;
};

/** Runs php with the arguments, every PHP warning sent to stderr; scratch
 *  holds the captured streams. */
inline TRun RunPhp(const std::string& php, const std::vector<std::string>& args, const qftest::TempDir& scratch) {
  std::string command = ShellQuote(php) + " -d display_errors=stderr -d error_reporting=E_ALL -d log_errors=0" +
                        " -d session.save_path=" + ShellQuote(scratch.Path());
  for (const std::string& arg : args) command += " " + ShellQuote(arg);
  command += " </dev/null >" + ShellQuote(scratch.File("stdout")) + " 2>" + ShellQuote(scratch.File("stderr"));
  const int status = std::system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, qftest::ReadFile(scratch.File("stdout")),
          qftest::ReadFile(scratch.File("stderr"))};
}

}  // namespace tablepages
