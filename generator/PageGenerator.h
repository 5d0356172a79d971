#pragma once

#include "generator/TemplateEngine.h"
#include "model/ProjectManager.h"

#include <memory>
#include <string>

/** What every page generator is handed: the project (the table to generate
 *  is its current table), the program folder holding tpl/, and the output
 *  folder. Both folders end with "/". */
struct TGeneratorContext {
  const TProjectManager& Project;
  std::string AppFolder;
  std::string OutputFolder;
};

/** Shared course of the generators: load a template from the program's tpl/
 *  folder into a prepared engine, fill it, save the rendered text. */
class TPageGenerator {
public:
  explicit TPageGenerator(const TGeneratorContext& context) : FContext(context) {}
  virtual ~TPageGenerator() = default;

protected:
  /** A prepared engine holding AppFolder + "tpl/" + name; a template that
   *  cannot be read raises EFOpenError. */
  std::unique_ptr<TTemplateEngine> LoadTemplate(const std::string& name) const;
  /** Renders the engine and writes the text (CR LF lines) to OutputFolder +
   *  relativePath, replacing the file; failures raise EInOutError, and so
   *  does a path that, resolved, lies outside OutputFolder. */
  void Save(TTemplateEngine& engine, const std::string& relativePath) const;

  const TProjectManager& Project() const { return FContext.Project; }
  const TGeneratorContext& Context() const { return FContext; }

private:
  TGeneratorContext FContext;
};

/** Whether path, with its links and ".." steps resolved, lies inside folder. */
bool LiesInside(const std::string& path, const std::string& folder);

/** "0" for the right "Guest" (exactly), "1" for anything else. */
std::string PageRightFlag(const std::string& right);
/** Name of a table page: DB + "_" + TABLE + "_" + page + ".php". */
std::string TablePageFileName(const std::string& database, const std::string& table, const std::string& page);
/** A table's page name without "_" + page + ".php", URL-encoded for links:
 *  a database or table name may hold blanks, quotes, "#", "?" or "&". */
std::string TablePageUrl(const std::string& database, const std::string& table);
/** "%" for WidthType 0, else "". */
std::string PageWidthType(int widthType);
