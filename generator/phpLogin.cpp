#include "generator/phpLogin.h"

#include "generator/PhpText.h"

void TLoginGenerator::Generate() {
  auto engine = LoadTemplate("login.tpl");
  // Plain text in the page, quoted for the PHP double-quoted literals of the template.
  engine->AssignGlobal("yzt_user_name", PhpDoubleQuoted(Project().AdminName));
  engine->AssignGlobal("yzt_user_pass", PhpDoubleQuoted(Project().AdminPass));
  Save(*engine, "general/login.php");
}
