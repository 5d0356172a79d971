#pragma once

#include "generator/PageGenerator.h"

/** Writes general/login.php from tpl/login.tpl with the administrator's name
 *  and password of the project. */
class TLoginGenerator : public TPageGenerator {
public:
  using TPageGenerator::TPageGenerator;
  void Generate();
};
