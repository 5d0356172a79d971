#include "generator/PageGenerator.h"

#include "core/Exception.h"
#include "core/Files.h"
#include "core/StringList.h"
#include "generator/PhpText.h"

#include <filesystem>

bool LiesInside(const std::string& path, const std::string& folder) {
  std::error_code pathError, folderError;
  const auto file = std::filesystem::weakly_canonical(path, pathError);
  const auto root = std::filesystem::weakly_canonical(folder, folderError);
  if (pathError || folderError) return false;
  const auto relative = file.lexically_relative(root);
  return !relative.empty() && *relative.begin() != ".." && relative != ".";
}

std::unique_ptr<TTemplateEngine> TPageGenerator::LoadTemplate(const std::string& name) const {
  auto engine = std::make_unique<TTemplateEngine>();
  engine->TemplateLines.LoadFromFile(FContext.AppFolder + "tpl/" + name);
  engine->Prepare();
  return engine;
}

void TPageGenerator::Save(TTemplateEngine& engine, const std::string& relativePath) const {
  const std::string path = FContext.OutputFolder + relativePath;
  if (!LiesInside(path, FContext.OutputFolder))
    throw EInOutError("Cannot write " + path + ": it lies outside the output folder " + FContext.OutputFolder);
  // The text a line list of the output would save, written in one go.
  WriteFileText(path, TStringList::CrLfText(engine.GetOutputText()));
}

std::string PageRightFlag(const std::string& right) { return right == "Guest" ? "0" : "1"; }

std::string TablePageFileName(const std::string& database, const std::string& table, const std::string& page) {
  return database + "_" + table + "_" + page + ".php";
}

std::string TablePageUrl(const std::string& database, const std::string& table) {
  return UrlEncode(database + "_" + table);
}

std::string PageWidthType(int widthType) { return widthType == 0 ? "%" : ""; }
