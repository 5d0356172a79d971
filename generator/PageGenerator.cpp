#include "generator/PageGenerator.h"

#include "core/Files.h"
#include "core/StringList.h"

std::unique_ptr<TTemplateEngine> TPageGenerator::LoadTemplate(const std::string& name) const {
  auto engine = std::make_unique<TTemplateEngine>();
  engine->TemplateLines.LoadFromFile(FContext.AppFolder + "tpl/" + name);
  engine->Prepare();
  return engine;
}

void TPageGenerator::Save(TTemplateEngine& engine, const std::string& relativePath) const {
  // The text a line list of the output would save, written in one go.
  WriteFileText(FContext.OutputFolder + relativePath, TStringList::CrLfText(engine.GetOutputText()));
}

std::string PageRightFlag(const std::string& right) { return right == "Guest" ? "0" : "1"; }

std::string TablePageFileName(const std::string& database, const std::string& table, const std::string& page) {
  return database + "_" + table + "_" + page + ".php";
}

std::string PageWidthType(int widthType) { return widthType == 0 ? "%" : ""; }
