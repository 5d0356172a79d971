#pragma once

#include "generator/PageGenerator.h"

/** Writes index.html from tpl/index.tpl: the site's frame page with its title. */
class TIndexGenerator : public TPageGenerator {
public:
  using TPageGenerator::TPageGenerator;
  void Generate();
};
