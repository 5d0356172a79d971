#include "generator/phpIndex.h"

void TIndexGenerator::Generate() {
  auto engine = LoadTemplate("index.tpl");
  engine->AssignGlobal("yzt_page_title_name", Project().SiteCaption);
  Save(*engine, "index.html");
}
