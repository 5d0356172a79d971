#include "model/HtmlInput.h"

TBaseHtmlInput::TBaseHtmlInput(const std::string& name) : iName(name), iId(name + "_id") {}
